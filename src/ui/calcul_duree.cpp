#include "ui/calcul_duree.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

namespace virmak {

namespace {
    // Lines typed one after the other start one computation, not one each.
    constexpr int DelaiMs = 400;
}

CalculDuree::CalculDuree(QObject* parent)
    : QObject(parent)
    , programme_(QCoreApplication::applicationDirPath() + "/virmak-cli")
    , delai_(new QTimer(this))
    , decompte_(new QTimer(this))
{
    decompte_->setInterval(500);
    connect(decompte_, &QTimer::timeout, this, &CalculDuree::Change);
    delai_->setSingleShot(true);
    delai_->setInterval(DelaiMs);
    connect(delai_, &QTimer::timeout, this, [this] {
        attente_ = false;
        Lancer();
    });
}

CalculDuree::~CalculDuree()
{
    Abandonner();
}

void CalculDuree::Suivre(const Instantane& etat)
{
    if (suivi_ && etat.LignesProg.Revision() == revisionLignes_ && etat.RevisionCles == revisionCles_
        && etat.RepExe == rep_)
        return;
    suivi_ = true;
    revisionLignes_ = etat.LignesProg.Revision();
    revisionCles_ = etat.RevisionCles;
    rep_ = etat.RepExe;
    lignes_ = etat.LignesProg;
    Abandonner();
    duree_ = {};
    if (!lignes_.empty()) {
        attente_ = true;
        delai_->start();
    }
    emit Change();
}

void CalculDuree::Abandonner()
{
    delai_->stop();
    attente_ = false;
    if (!processus_)
        return;
    QProcess* p = processus_;
    processus_ = nullptr;
    p->disconnect(this);
    connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->kill();
}

void CalculDuree::Lancer()
{
    auto* p = new QProcess(this);
    // The lines as listed, edits included, in a file of their own that
    // lives as long as the process.
    auto* fichier = new QTemporaryFile(QDir::tempPath() + "/virmak-duree-XXXXXX.iso", p);
    QByteArray texte;
    for (size_t i = 0; i < lignes_.size(); ++i)
        texte.append(lignes_[i].data(), static_cast<qsizetype>(lignes_[i].size())).append('\n');
    if (!fichier->open() || fichier->write(texte) != texte.size() || !fichier->flush()) {
        delete p;
        emit Change();
        return;
    }
    processus_ = p;
    p->setProgram(programme_);
    QStringList arguments;
    if (!rep_.empty())
        arguments << "--rep" << QString::fromStdString(rep_);
    arguments << "execute" << fichier->fileName() << "--temps";
    p->setArguments(arguments);
    p->setStandardErrorFile(QProcess::nullDevice());
    connect(p, &QProcess::finished, this, [this, p](int statut, QProcess::ExitStatus sortie) {
        processus_ = nullptr;
        if (sortie == QProcess::NormalExit && statut == 0)
            duree_ = LireDureeExecute(p->readAllStandardOutput().toStdString());
        p->deleteLater();
        emit Change();
    });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError erreur) {
        // Not there or not runnable: no finished signal follows.
        if (erreur != QProcess::FailedToStart || processus_ != p)
            return;
        processus_ = nullptr;
        p->deleteLater();
        emit Change();
    });
    p->start(QIODevice::ReadOnly);
}

std::string CalculDuree::Texte(const Pupitre& form1, bool lignes)
{
    const bool enMarche = form1.LedCycle.Allume && form1.GaugeProg.Visible;
    if (!enMarche) {
        blocMontre_ = -1;
        decompte_->stop();
    }
    if (!lignes || EnCours())
        return {};
    if (!duree_.Connue())
        return "Durée inconnue";
    if (!enMarche)
        return "Durée : " + TexteDuree(duree_.Totale);
    // Inside a long block the time goes on down, as the machine moves at
    // the configured feeds, but never past the block's end.
    // Mended: the operator's waits (step by step, block stop, pause) are
    // no progress; the count starts again when the run goes on.
    if (form1.GaugeProg.Progression != blocMontre_ || form1.BitBtnCycle.Actif) {
        blocMontre_ = form1.GaugeProg.Progression;
        depuisBloc_.start();
    }
    if (!decompte_->isActive())
        decompte_->start();
    return "Reste : "
        + TexteDuree(duree_.Restante(blocMontre_, static_cast<double>(depuisBloc_.elapsed()) / 1000));
}

} // namespace virmak
