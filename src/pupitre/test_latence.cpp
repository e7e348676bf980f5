#include "pupitre/test_latence.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"

#include <algorithm>

namespace virmak {

FenetreLatence FormLatence;
std::atomic<int> ProgressionLatence { 0 };
std::atomic<bool> ArretLatenceDemande { false };

namespace {

    // The apply button says what it would do with the proposal.
    void PreparerApplication()
    {
        Controle& b = FormLatence.BtnAppliquer;
        const int32_t propose = FormLatence.Mesure.AvMaxConseille;
        const bool audessus
            = std::any_of(std::begin(AvMax), std::end(AvMax), [propose](int32_t v) { return v > propose; });
        b.Actif = FormLatence.Mesuree && propose > 0 && audessus;
        b.Texte = propose > 0 ? "Limiter AvMax à " + std::to_string(propose) + " pas/s" : "Limiter AvMax";
    }

} // namespace

void CreerTestLatence()
{
    FormLatence = FenetreLatence {};
}

void TestLatence1Click()
{
    VERIFIER_FIL_MACHINE();
    FormLatence.Visible = true;
    PreparerApplication();
    VueActive().Repeindre("FormLatence");
}

void BtnLancerLatenceClick(int duree)
{
    VERIFIER_FIL_MACHINE();
    // Reached from a wait inside a move or a run, it would step in the
    // middle of it. The cycle's light, not CycleEnCours: a run that ended
    // leaves that flag set until the next one.
    if (FormLatence.EnCours || Form1.LedCycle.Allume || FileMachine().Profondeur() > 1) {
        VueActive().Message(TexteLatenceRefusee);
        return;
    }
    if (ArretUrgence) {
        VueActive().Message(TexteLatenceUrgence);
        return;
    }
    FormLatence.Duree = std::clamp(duree, DureeLatenceMini, DureeLatenceMaxi);
    FormLatence.EnCours = true;
    FormLatence.Application.clear();
    FormLatence.BtnLancer.Actif = false;
    FormLatence.BtnAppliquer.Actif = false;
    ProgressionLatence.store(0);
    ArretLatenceDemande.store(false);
    VueActive().Repeindre("FormLatence");

    FormLatence.Mesure = MesurerLatence(FormLatence.Duree, FrequenceLatence, -1, [](double fait) {
        ProgressionLatence.store(static_cast<int>(fait * 1000), std::memory_order_relaxed);
        return !ArretLatenceDemande.load(std::memory_order_relaxed);
    });

    FormLatence.EnCours = false;
    FormLatence.Mesuree = true;
    FormLatence.BtnLancer.Actif = true;
    PreparerApplication();
    const MesureLatence& m = FormLatence.Mesure;
    if (!m.Interrompue)
        MsgHistorique("Test de latence : " + std::to_string(m.Pas) + " pas, au pire "
            + std::to_string(static_cast<int64_t>(m.Max)) + " µs de retard ; AvMax conseillé "
            + std::to_string(m.AvMaxConseille) + " pas/s.");
}

void BtnAppliquerLatenceClick()
{
    VERIFIER_FIL_MACHINE();
    const int32_t propose = FormLatence.Mesure.AvMaxConseille;
    if (!FormLatence.Mesuree || propose <= 0 || FormLatence.EnCours)
        return;
    std::string axes;
    IniParam.DebutLot();
    for (int i = 0; i < 3; ++i) {
        if (AvMax[i] <= propose)
            continue;
        AvMax[i] = propose;
        IniParam.EcrireEntier("AXES", CleIndexee("AvMax", i), AvMax[i]);
        axes += std::string(axes.empty() ? "" : ", ") + "XYZ"[i];
    }
    IniParam.FinLot();
    AvanceMax = AvanceMaxMachine();
    MajCurseurAvance();
    FormLatence.Application
        = axes.empty() ? "" : "AvMax de " + axes + " ramené à " + std::to_string(propose) + " pas/s.";
    if (!axes.empty())
        MsgHistorique("Test de latence : " + FormLatence.Application);
    PreparerApplication();
}

void FermerLatence()
{
    VERIFIER_FIL_MACHINE();
    FormLatence.Visible = false;
}

} // namespace virmak
