#pragma once
// Helpers of the window tests: the core runs on the machine thread, so a
// test lets the window's events run until what it did has gone through.

#include "foundation/partage.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace virmak::test {

// The fonts the main window is laid out in are on this machine: tests of
// its measures mean nothing without them.
inline bool PolicesDeLaFenetre()
{
    return QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"));
}

// The virtual clock, with the keys, taps and buttons the window keeps, as
// the desktop program reads them.
struct HorlogeFenetre : HorlogeVirtuelle {
    bool ToucheEnfoncee(Touche t) override { return Entrees().ToucheEnfoncee(t); }
    bool ToucheFrappee(Touche t) override
    {
        const bool frappee = Entrees().PrendreFrappe(t);
        return ToucheEnfoncee(t) || frappee;
    }
    int Frappes(Touche t) override { return Entrees().PrendreFrappes(t); }
    bool BoutonEnfonce(BoutonSouris b) override { return Entrees().BoutonEnfonce(b); }
};

// Runs `action` on the machine thread and waits until the window shows its
// effects.
inline void SurMachine(TForm1& f, std::function<void()> action)
{
    f.Poster(std::move(action));
    f.AttendreMachine();
}

template <class Condition> bool AttendreQue(Condition condition, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < ms) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    return condition();
}

// The message box the window shows once the machine thread has asked for
// it; none after a few seconds.
inline QMessageBox* BoiteMontree(TForm1& f)
{
    QMessageBox* boite = nullptr;
    AttendreQue([&] {
        const auto boites = f.findChildren<QMessageBox*>();
        boite = boites.isEmpty() ? nullptr : boites.front();
        return boite && boite->isVisible();
    });
    return boite && boite->isVisible() ? boite : nullptr;
}

// The help pages the window opens from now on, kept instead of shown.
inline std::shared_ptr<std::vector<std::string>> PagesAideOuvertes(TForm1& f)
{
    auto pages = std::make_shared<std::vector<std::string>>();
    f.OuvrirPageAide = [pages](const std::string& page) { pages->push_back(page); };
    return pages;
}

// Answers the next file dialog named `nom` as an operator would, once the
// machine thread has asked for it; `vu` is called with it first.
inline void RepondreFichier(
    const QString& nom, const QString& chemin, std::function<void(QFileDialog*)> vu = {})
{
    auto* veille = new QTimer;
    auto essais = std::make_shared<int>(0);
    QObject::connect(veille, &QTimer::timeout, [veille, nom, chemin, vu, essais] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d || d->objectName() != nom) {
            if (++*essais > 1000)
                veille->deleteLater();
            return;
        }
        if (!chemin.isEmpty()) {
            // Typed into the name field, as an operator does; the dialog
            // reads its folder in the background, so it may take a moment.
            if (auto* nom = d->findChild<QLineEdit*>("fileNameEdit"))
                nom->setText(chemin);
            if (d->selectedFiles().isEmpty() && ++*essais <= 1000)
                return;
        }
        veille->stop();
        veille->deleteLater();
        if (vu)
            vu(d);
        if (chemin.isEmpty())
            d->reject();
        else
            static_cast<QDialog*>(d)->accept(); // the dialog's own accept checks the name
    });
    veille->start(5);
}

// The desktop program in a process of its own, offscreen, on `dossier`.
inline pid_t LancerVirmak(const std::string& dossier)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(VIRMAK_BINAIRE, VIRMAK_BINAIRE, "--rep", dossier.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

} // namespace virmak::test
