#pragma once
// The machining time, computed away from the machine: virmak-cli, beside
// this program, runs the listed lines on its virtual clock with the same
// configuration folder (execute --temps) while the window goes on. A
// changed program, key file or folder starts it again; a missing or
// failing virmak-cli leaves the time unknown, and nothing else.

#include "pupitre/duree_programme.h"
#include "ui/instantane.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <cstdint>
#include <string>

class QProcess;
class QTimer;

namespace virmak {

class CalculDuree : public QObject {
    Q_OBJECT
public:
    explicit CalculDuree(QObject* parent = nullptr);
    ~CalculDuree() override;

    // virmak-cli; by default the one beside this program.
    void DefinirProgramme(const QString& chemin) { programme_ = chemin; }

    // Follows the copy the window shows: from a new program, key files or
    // folder, the time known so far is dropped and computed anew.
    void Suivre(const Instantane& etat);

    const DureeProgramme& Duree() const { return duree_; }
    // Asked and not answered yet.
    bool EnCours() const { return processus_ != nullptr || attente_; }

    // What the program group shows under its list: the whole time, the
    // time left during a run (Change comes again each half second then),
    // "Durée inconnue", or nothing.
    std::string Texte(const Pupitre& form1, bool lignes);

signals:
    void Change();

private:
    void Abandonner();
    void Lancer();

    QString programme_;
    QTimer* delai_ = nullptr;
    QTimer* decompte_ = nullptr;
    QElapsedTimer depuisBloc_; // since the block shown ended
    int blocMontre_ = -1;
    QProcess* processus_ = nullptr;
    DureeProgramme duree_;
    LignesPartagees lignes_;
    std::string rep_;
    uint64_t revisionLignes_ = 0, revisionCles_ = 0;
    bool suivi_ = false, attente_ = false;
};

} // namespace virmak
