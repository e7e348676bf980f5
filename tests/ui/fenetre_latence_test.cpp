// The latency test in its window: launched from the "Outils" menu, its
// figures and its proposal shown, and ended at once by the window's own
// stops.

#include "pupitre/test_latence.h"
#include "support/support.h"
#include "ui/fenetre_latence.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

class FenetreLatenceQt : public AvecConfiguration {
protected:
    TFormLatence* Ouvrir(TForm1& f)
    {
        f.findChild<QAction*>("TestLatence1")->trigger();
        f.AttendreMachine();
        return f.findChild<TFormLatence*>("FormLatence");
    }
};

} // namespace

TEST_F(FenetreLatenceQt, LancerShowsThePercentilesTheLateStepsAndTheProposal)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TFormLatence* l = Ouvrir(f);
    ASSERT_TRUE(l);
    EXPECT_TRUE(l->isVisible());
    // Beside the main window, never over its preview.
    const QWidget* apercu = f.findChild<QWidget*>("GroupBox4");
    EXPECT_FALSE(l->frameGeometry().intersects(QRect(apercu->mapToGlobal(QPoint(0, 0)), apercu->size())));
    l->findChild<QSpinBox*>("DureeLatence")->setValue(1);
    l->findChild<QPushButton*>("BtnLancer")->click();
    f.AttendreMachine();
    const QString resultats = l->findChild<QLabel*>("ResultatsLatence")->text();
    for (const char* ligne : { "20000 pas à 20000 pas par seconde", "Retard de 99 % des pas : 0.0 µs",
             "Retard de 99,9 % des pas : 0.0 µs", "Retard maximal : 0.0 µs",
             "Pas en retard de plus de 20 µs : 0" })
        EXPECT_TRUE(resultats.contains(ligne)) << resultats.toStdString();
    EXPECT_FALSE(l->findChild<QLabel*>("ConseilLatence")->text().isEmpty());
    EXPECT_TRUE(l->findChild<QLabel*>("ApplicationLatence")->text().startsWith("AvMax conseillé : 20000"));
    // The window grows with them: no line is cut or drawn over another.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (const QLabel* e : l->findChildren<QLabel*>()) {
        const int besoin
            = e->hasHeightForWidth() ? e->heightForWidth(e->width()) : e->minimumSizeHint().height();
        EXPECT_GE(e->height(), besoin) << e->objectName().toStdString() << " " << e->text().toStdString();
    }
}

TEST_F(FenetreLatenceQt, ClosingTheWindowEndsAMeasureAtOnce)
{
    HorlogeVirtuelle& h = horloge;
    TForm1 f;
    f.show();
    f.AttendreMachine();
    TFormLatence* l = Ouvrir(f);
    l->findChild<QSpinBox*>("DureeLatence")->setValue(60);
    // The operator closes the window a tenth of a second into the measure.
    bool ferme = false;
    h.pendantAttente = [&](int64_t maintenant, int64_t) {
        if (ferme || maintenant < h.frequence / 10)
            return;
        ferme = true;
        QMetaObject::invokeMethod(
            l, [l] { l->close(); }, Qt::BlockingQueuedConnection);
    };
    l->findChild<QPushButton*>("BtnLancer")->click();
    f.AttendreMachine();
    // The close came during the measure, behind this wait in the queue.
    f.AttendreMachine();
    h.pendantAttente = nullptr;
    EXPECT_TRUE(ferme);
    EXPECT_FALSE(l->isVisible());
    EXPECT_TRUE(f.Etat().Latence.Mesure.Interrompue);
    // Within the 5 ms of its next check.
    EXPECT_LT(h.maintenant, h.frequence / 10 + h.frequence / 100);
    EXPECT_FALSE(f.Etat().Latence.Visible);
}
