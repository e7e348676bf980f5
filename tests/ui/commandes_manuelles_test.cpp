#include "foundation/cn_varia.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "support/support.h"
#include "ui/support_ui.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

void Appuyer(QWidget* w, Qt::MouseButton bouton)
{
    const QPointF p(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent appui(QEvent::MouseButtonPress, p, w->mapToGlobal(p), bouton, bouton, Qt::NoModifier);
    QApplication::sendEvent(w, &appui);
    QMouseEvent relache(
        QEvent::MouseButtonRelease, p, w->mapToGlobal(p), bouton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &relache);
}

// Shown and active, as the window the operator works in.
void Activer(TForm1& f)
{
    f.show();
    f.activateWindow();
    ASSERT_TRUE(AttendreQue([&] { return f.isActiveWindow(); }));
}

void Taper(QWidget* w, int cle, const QString& texte = {})
{
    QKeyEvent appui(QEvent::KeyPress, cle, Qt::NoModifier, texte);
    QApplication::sendEvent(w, &appui);
    QKeyEvent relache(QEvent::KeyRelease, cle, Qt::NoModifier, texte);
    QApplication::sendEvent(w, &relache);
}

} // namespace

using CommandesManuelles = AvecConfiguration;

TEST_F(CommandesManuelles, JogPresetArrowsAndEscapeGoFromTheWindowToTheMachine)
{
    TForm1 f;
    f.AttendreMachine();
    Activer(f);
    auto lire = [&](auto valeur) {
        decltype(valeur()) v {};
        SurMachine(f, [&] { v = valeur(); });
        return v;
    };

    // A right press on X+ in continuous mode: one step.
    Appuyer(f.findChild<QPushButton*>("XPlus"), Qt::RightButton);
    f.AttendreMachine();
    EXPECT_EQ(lire([] { return PosPas[0]; }), 1);

    // A click on the readout, 12.5 and Enter: the readout shows it.
    Appuyer(f.findChild<QLabel*>("StaticTextX"), Qt::LeftButton);
    f.AttendreMachine();
    auto* champ = f.findChild<QLineEdit*>("EditX");
    ASSERT_TRUE(champ->isVisible());
    champ->selectAll();
    for (QChar c : QString("12.5"))
        Taper(champ, c.unicode(), c);
    Taper(champ, Qt::Key_Return);
    f.AttendreMachine();
    EXPECT_FALSE(champ->isVisible());
    EXPECT_EQ(f.findChild<QLabel*>("StaticTextX")->text(), "  12.500");

    // An arrow jogs rather than moves the focused slider; in a field it
    // only moves the caret.
    auto* correction = f.findChild<QSlider*>("TrackBarTAv");
    correction->setFocus();
    Taper(correction, Qt::Key_Right);
    EXPECT_EQ(correction->value(), 10);
    EXPECT_TRUE(Entrees().PrendreFrappe(Touche::Droite));
    auto* go = f.findChild<QLineEdit*>("EditGoX");
    go->setFocus();
    Taper(go, Qt::Key_Right);
    EXPECT_FALSE(Entrees().PrendreFrappe(Touche::Droite));

    // Escape is "URGENCE", once.
    Taper(go, Qt::Key_Escape);
    Taper(go, Qt::Key_Escape);
    f.AttendreMachine();
    EXPECT_EQ(lire([] { return Form1.BoutonArretTag; }), 1);
}

TEST_F(CommandesManuelles, FiveShortTapsOfF1AreFiveNotches)
{
    HorlogeFenetre clavier;
    DefinirPlateforme(&clavier);
    TForm1 f;
    f.AttendreMachine();
    Activer(f);
    auto* correction = f.findChild<QSlider*>("TrackBarTAv");
    correction->setFocus();
    // Quicker than the monitor's tick: no key is down when it looks.
    for (int i = 0; i < 5; ++i)
        Taper(correction, Qt::Key_F1);
    EXPECT_TRUE(AttendreQue([&] { return correction->value() == 5; })) << correction->value();
    Taper(correction, Qt::Key_F2);
    EXPECT_TRUE(AttendreQue([&] { return correction->value() == 6; })) << correction->value();
}

TEST_F(CommandesManuelles, AnEmptyFeedFieldLeftOrEnteredIsRefusedAndNoMoveTakesAFeedOf0)
{
    TForm1 f;
    f.AttendreMachine();
    Activer(f);
    auto* champ = f.findChild<QLineEdit*>("EditVitAv");
    auto* aller = f.findChild<QLineEdit*>("EditGoX");
    const auto vider = [&] {
        champ->setFocus();
        champ->selectAll();
        Taper(champ, Qt::Key_Backspace);
        ASSERT_EQ(champ->text(), "");
    };
    const auto refus = [&] {
        QMessageBox* boite = BoiteMontree(f);
        ASSERT_TRUE(boite);
        EXPECT_EQ(boite->text(), "'' n'est pas une valeur entière correcte");
        boite->accept();
        f.AttendreMachine();
        EXPECT_EQ(champ->text(), " 200");
        Activer(f);
    };
    // Enter, then leaving the field for another one, as Tab or a click do.
    vider();
    Taper(champ, Qt::Key_Return);
    refus();
    vider();
    aller->setFocus(Qt::TabFocusReason);
    refus();
    // Emptied again, then a jog and a go-to straight away: they move at
    // the feed in force, not at 0.
    vider();
    aller->setFocus(Qt::MouseFocusReason);
    refus();
    Appuyer(f.findChild<QPushButton*>("XPlus"), Qt::RightButton);
    f.findChild<QPushButton*>("GoXYZ")->click();
    f.AttendreMachine();
    double avance = 0;
    int32_t pas = 0;
    SurMachine(f, [&] {
        avance = AvanceCourante;
        pas = PosPas[0];
    });
    EXPECT_DOUBLE_EQ(avance, 200);
    EXPECT_EQ(pas, 0); // one step out, and back to X = 0
    EXPECT_EQ(f.findChild<QLabel*>("MesEtat")->text(), "");
}
