// A newcomer's first run: a fresh configuration on the virtual machine
// takes the usual wiring, says so, and runs an example from the first
// "Charger" with its steps decoded where the readouts say.

#include "exec/cycle_usinage.h"
#include "foundation/aide.h"
#include "foundation/entrees_sorties.h"
#include "machine/choix_port.h"
#include "machine/machine_virtuelle.h"
#include "support/support.h"
#include "ui/fenetre_machine_virtuelle.h"
#include "ui/fenetre_principale.h"
#include "ui/polices.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

using MachineVirtuelleQt = AvecConfiguration;

TEST_F(MachineVirtuelleQt, AFreshFolderRunsAnExampleFromTheFirstChargerAndDecodesItsSteps)
{
    MachineVirtuelleDemandee = true;
    TForm1 f;
    f.show();
    f.AttendreMachine();
    // Whole in the message line (cut to its width there, whole in its tooltip).
    EXPECT_EQ(f.findChild<EtiquetteCoupee*>("MesEtat")->Texte(), TexteCablageUsuel);
    f.findChild<QAction*>("AfficherMachineVirtuelle1")->trigger();
    auto* vm = f.findChild<TFormMachineVirtuelle*>("FormMachineVirtuelle");
    ASSERT_TRUE(vm);
    EXPECT_TRUE(f.findChild<QLabel*>("EtatPort")->text().startsWith(TexteCablageUsuel));
    const QWidget* apercu = f.findChild<QWidget*>("GroupBox4");
    EXPECT_FALSE(vm->frameGeometry().intersects(QRect(apercu->mapToGlobal(QPoint(0, 0)), apercu->size())));

    const std::string exemple = DossierExemples(DossiersAide(dossier, "")) + "contour-compensation.iso";
    QString ouvert;
    RepondreFichier("OpenDialog1", QString::fromStdString(exemple),
        [&ouvert](QFileDialog* d) { ouvert = d->directory().absolutePath() + "/"; });
    f.findChild<QPushButton*>("BitBtnCharger")->click();
    f.AttendreMachine();
    EXPECT_EQ(ouvert.toStdString(), DossierExemples(DossiersAide(dossier, "")));
    f.findChild<QPushButton*>("BitBtnCycle")->click();
    f.AttendreMachine();
    EXPECT_EQ(f.findChild<QLabel*>("MesEtat")->text(), TexteCycleTermine);
    MachineVirtuelle* m = MachineVirtuelleActive();
    ASSERT_TRUE(m);
    EXPECT_GT(m->PasEmis(0), 10000);
    ASSERT_TRUE(AttendreQue([&] { return f.findChild<QLabel*>("PositionZ")->text().endsWith("5.000 mm"); }));
    for (const char* axe : { "X", "Y", "Z" }) {
        const QString decode = f.findChild<QLabel*>(QString("Position") + axe)->text().section(' ', -2, -2);
        const QString lu = f.findChild<QLabel*>(QString("StaticText") + axe)->text().trimmed();
        EXPECT_EQ(decode, lu) << axe;
    }
}
