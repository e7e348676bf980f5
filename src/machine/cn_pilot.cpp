#include "machine/cn_pilot.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "foundation/partage.h"
#include "foundation/pupitre.h"
#include "machine/in_out.h"

namespace virmak {

void (*JogClavier)() = nullptr;

namespace {

    bool Actif(uint8_t entrees, uint8_t masque)
    {
        return (entrees & masque) == masque;
    }

} // namespace

void ScruterEntrees()
{
    uint8_t e = PortLPT != 0 ? static_cast<uint8_t>((LirePortEntrees() ^ InInvert) & InEnable) : 0;
    if (Simulation)
        e = 0;

    // One switch serves both ends: the end latched is the one the axis last
    // moved towards, and the other waits until the switch is seen released.
    Voyant* voyants[3] = { &Form1.LedButeeX, &Form1.LedButeeY, &Form1.LedButeeZ };
    for (int i = 0; i < 3; ++i) {
        if (Actif(e, MasqueButee[i])) {
            if (SensAxe[i] == 1 && !ButeeMoins[i])
                ButeePlus[i] = true;
            if (SensAxe[i] == -1 && !ButeePlus[i])
                ButeeMoins[i] = true;
        } else {
            ButeeMoins[i] = ButeePlus[i] = false;
        }
        voyants[i]->Allume = ButeeMoins[i] || ButeePlus[i];
    }
    Form1.LedJeu.Allume = false;

    if (Actif(e, MasqueArret)) {
        Form1.LedArret.Allume = true;
        if (!ArretUrgence)
            MsgHistorique(TexteArretMachine);
        ArretUrgence = true;
    } else {
        Form1.LedArret.Allume = false;
        ArretUrgence = false;
    }
    if (Simulation)
        ArretUrgence = false;
    if (Form1.BoutonArretTag == 1)
        ArretUrgence = true;
    if (ArretUrgence)
        Form1.LedArret.Allume = true;
    Form1.LedBroche.Allume = BrocheEnMarche;
}

void Timer1Timer()
{
    VERIFIER_FIL_MACHINE();
    ScruterEntrees();
    static constexpr Focus champs[] = { Focus::EditLigneProg, Focus::ListBoxProg1, Focus::EditGoX,
        Focus::EditGoY, Focus::EditGoZ, Focus::EditX, Focus::EditY, Focus::EditZ };
    if (!Entrees().FenetreActive())
        return;
    const Focus focus = Entrees().FocusActuel();
    for (Focus f : champs)
        if (f == focus)
            return;
    if (JogClavier)
        JogClavier();
}

} // namespace virmak
