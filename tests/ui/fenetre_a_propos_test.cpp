#include "foundation/cn_varia.h"
#include "support/support.h"
#include "ui/fenetre_principale.h"
#include "ui/support_ui.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

namespace {

// Folders where the safety warnings were never acknowledged.
class AProposQt : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        std::filesystem::remove(Fichier("CncParam.Ini"));
    }
};

QWidget* Boite()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "AProposDe")
            return w;
    return nullptr;
}

} // namespace

TEST_F(AProposQt, ShownAtStartUpAndFromTheMenuCentredOnTheDisabledWindow)
{
    TForm1 f;
    f.show();
    f.AttendreMachine();
    QWidget* boite = Boite();
    ASSERT_TRUE(boite && boite->isVisible());
    EXPECT_FALSE(f.isEnabled());
    boite->findChild<QPushButton*>("BtnOK")->click();
    f.AttendreMachine();
    ASSERT_FALSE(boite->isVisible());
    f.findChild<QAction*>("Aproposde1")->trigger();
    f.AttendreMachine();
    ASSERT_TRUE(boite->isVisible());
    EXPECT_FALSE(f.isEnabled());
    EXPECT_EQ(boite->windowTitle(), "Virmak - A propos");
    EXPECT_EQ(boite->size(), QSize(470, 561));
    EXPECT_LE((boite->frameGeometry().center() - f.frameGeometry().center()).manhattanLength(), 4);
    // The close box keeps AvertOK as it was, ticked or not.
    boite->findChild<QCheckBox*>("AvertissementLu")->click();
    boite->close();
    f.AttendreMachine();
    EXPECT_TRUE(f.isEnabled());
    EXPECT_FALSE(AvertOK);
}
