#include "foundation/aide.h"
#include "foundation/cn_varia.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QIdentityProxyModel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/time.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class Chargement : public AvecConfiguration {
protected:
    // Answers the next file dialog as an operator would, keeping what it showed.
    void Repondre(const QString& nom, const QString& chemin)
    {
        RepondreFichier(nom, chemin, [this](QFileDialog* d) {
            titre = d->windowTitle();
            filtres = d->nameFilters();
            filtre = d->selectedNameFilter();
            repertoire = d->directory().absolutePath();
        });
    }
    QString titre, filtre, repertoire;
    QStringList filtres;
};

} // namespace

TEST_F(Chargement, OuvrirShowsTheOpenDialogAndLoadsTheChosenFile)
{
    EcrireTout(Fichier("carre.iso"), "G1 X10 F100\r\nG1 Y10\r\n");
    TForm1 f;
    f.show();
    f.AttendreMachine();
    Repondre("OpenDialog1", QString::fromStdString(Fichier("carre.iso")));
    f.findChild<QAction*>("Ouvrir1")->trigger();
    f.AttendreMachine();
    EXPECT_EQ(titre, "Charger un programme");
    ASSERT_EQ(filtres.size(), 2);
    EXPECT_EQ(filtres[0], "Programmes ISO (*.iso *.nc *.ngc *.gcode *.tap *.txt)");
    EXPECT_EQ(filtres[1], "Tous les fichiers (*)");
    EXPECT_EQ(filtre, filtres[0]);
    // The first one opens on the example programs.
    EXPECT_EQ(repertoire.toStdString() + "/", DossierExemples(DossiersAide(dossier, "")));
    auto* liste = f.findChild<QListWidget*>("ListBoxProg1");
    ASSERT_EQ(liste->count(), 2);
    EXPECT_EQ(liste->item(1)->text(), "G1 Y10");
    EXPECT_TRUE(f.findChild<QPushButton*>("BitBtnCycle")->isEnabled());
    EXPECT_EQ(
        f.findChild<QGroupBox*>("GroupBox5")->title().toStdString(), "Programme : " + Fichier("carre.iso"));
}

TEST_F(Chargement, TheOpenDialogIsQtsOwnWithItsDatesInFrench)
{
    EcrireTout(Fichier("PIECE.ISO"), "G1 X10 F100\n");
    // 8 December 2024, 10:00, which an English locale shows as "8 Dec".
    const qint64 instant = QDateTime(QDate(2024, 12, 8), QTime(10, 0)).toSecsSinceEpoch();
    const struct timeval temps[2] = { { instant, 0 }, { instant, 0 } };
    ::utimes(Fichier("PIECE.ISO").c_str(), temps);
    TForm1 f;
    f.show();
    f.AttendreMachine();
    SurMachine(f, [this] { NomRepProg = dossier; });
    QString date;
    bool propre = false;
    RepondreFichier("OpenDialog1", QString::fromStdString(Fichier("PIECE.ISO")), [&](QFileDialog* d) {
        propre = d->testOption(QFileDialog::DontUseNativeDialog);
        auto* fichiers = qobject_cast<QFileSystemModel*>(d->proxyModel()->sourceModel());
        const QModelIndex source = fichiers->index(QString::fromStdString(Fichier("PIECE.ISO")), 3);
        // The folder is read in the background.
        AttendreQue([&] {
            date = d->proxyModel()->mapFromSource(source).data().toString();
            return !date.isEmpty();
        });
    });
    f.findChild<QPushButton*>("BitBtnCharger")->click();
    f.AttendreMachine();
    EXPECT_TRUE(propre);
    EXPECT_EQ(date, "08/12/2024 10:00");
    EXPECT_EQ(f.findChild<QListWidget*>("ListBoxProg1")->count(), 1);
}

TEST_F(Chargement, CancellingTheOpenDialogChangesNothing)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    Repondre("OpenDialog1", QString());
    f.findChild<QPushButton*>("BitBtnCharger")->click();
    f.AttendreMachine();
    EXPECT_EQ(f.findChild<QListWidget*>("ListBoxProg1")->count(), 3);
    EXPECT_FALSE(f.findChild<QPushButton*>("BitBtnEnregistrer")->isEnabled());
}

TEST_F(Chargement, SauverWritesTheProgramAndItsListing)
{
    EcrireTout(Fichier("carre.iso"), "G1 X10 F100\n");
    TForm1 f;
    f.show();
    f.AttendreMachine();
    Repondre("OpenDialog1", QString::fromStdString(Fichier("carre.iso")));
    f.findChild<QPushButton*>("BitBtnCharger")->click();
    f.AttendreMachine();
    Repondre("SaveDialog1", QString::fromStdString(Fichier("copie")));
    f.findChild<QPushButton*>("BitBtnEnregistrer")->click();
    f.AttendreMachine();
    EXPECT_EQ(LireTout(Fichier("copie.ISO")), "G1 X10 F100\r\n");
    EXPECT_NE(LireTout(Fichier("copie.MCH")).find("L  0  G 1  X  10.000"), std::string::npos);
}
