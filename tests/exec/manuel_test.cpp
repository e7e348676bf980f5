#include "exec/manuel.h"
#include "foundation/cn_varia.h"
#include "foundation/pupitre.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <gtest/gtest.h>

using namespace virmak;
using namespace virmak::test;

using CurseursAvance = AvecConfiguration;

TEST_F(CurseursAvance, MovingTheFeedSliderRewritesTheFeedField)
{
    FormCreate();
    Form1.TrackBarVitAv.DefinirPosition(150);
    EXPECT_EQ(Form1.EditVitAv.Texte, " 150");
    EXPECT_DOUBLE_EQ(AvanceCourante, 150);
    EXPECT_EQ(Form1.RapTextAv.Texte, " 150");
    Form1.TrackBarVitAv.DefinirPosition(5000);
    EXPECT_EQ(Form1.TrackBarVitAv.Position, 260);
    EXPECT_EQ(Form1.EditVitAv.Texte, " 260");
}

TEST_F(CurseursAvance, OverrideRescalesTheRunningStepPeriod)
{
    FormCreate();
    PeriodePas = 1200;
    Form1.TrackBarTAv.DefinirPosition(12);
    EXPECT_EQ(Form1.LabelTAv.Texte, "120%");
    EXPECT_EQ(PeriodePas, 1000);
    EXPECT_EQ(CorrAvance, 12);
    EXPECT_DOUBLE_EQ(AvanceCourante, 240);
    Form1.TrackBarTAv.DefinirPosition(0);
    EXPECT_EQ(Form1.TrackBarTAv.Position, 1);
    EXPECT_EQ(Form1.LabelTAv.Texte, " 10%");
    EXPECT_EQ(PeriodePas, 12000);
}

TEST_F(CurseursAvance, AFeedSliderMaximumBelowThePositionPullsTheFieldDown)
{
    EcrireTout(Fichier("CncParam.Ini"), "[AXES]\nAvMax(0)=100\nAvMax(1)=100\nAvMax(2)=100\n");
    FormCreate();
    EXPECT_EQ(Form1.TrackBarVitAv.Max, 26);
    EXPECT_EQ(Form1.TrackBarVitAv.Position, 26);
    EXPECT_EQ(Form1.EditVitAv.Texte, "  26");
}
