#pragma once
// A started configuration on the virtual machine and the virtual clock:
// limits of X, Y, Z on Error, Select, Paper Out, the stop on ACK (inverted);
// with its outputs wired, X on D0/D1, Y on D2/D3, Z on D4/D5, the spindle
// on D6, every step recorded.

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "machine/choix_port.h"
#include "machine/cn_pilot.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "support/support.h"

#include <algorithm>
#include <functional>
#include <string>

namespace virmak::test {

class AvecMachineVirtuelle : public AvecConfiguration {
protected:
    void SetUp() override
    {
        AvecConfiguration::SetUp();
        EcrireTout(Fichier("CncParam.Ini"),
            "[PORT]\r\nPortLPT=1\r\n[ENTREES]\r\nCBInItem(0)=1\r\nCBInItem(1)=2\r\nCBInItem(2)=3\r\n"
            "CBInItem(3)=4\r\nInEnable=120\r\nInInvert=64\r\n[BOOLEAN]\r\nSimulation=0\r\nDebogage=0\r\n");
        MachineVirtuelleDemandee = true;
        FormCreate();
        CreerFenetresSecondaires();
        m = MachineVirtuelleActive();
        ASSERT_TRUE(m);
    }
    static long Arrets()
    {
        const auto& l = FormHist.ListBoxHist.Lignes;
        return std::count_if(
            l.begin(), l.end(), [](const std::string& s) { return s.ends_with(TexteArretMachine); });
    }
    // History lines that end with `texte`.
    static long Historique(const std::string& texte)
    {
        const auto& l = FormHist.ListBoxHist.Lignes;
        return std::count_if(l.begin(), l.end(), [&](const std::string& s) { return s.ends_with(texte); });
    }
    // `action` once, in the first wait of the machine that passes `t`
    // seconds of the virtual clock.
    void Pendant(double t, std::function<void()> action)
    {
        const auto instant = static_cast<int64_t>(t * static_cast<double>(horloge.frequence));
        horloge.pendantAttente = [instant, action, fait = false](int64_t, int64_t fin) mutable {
            if (fin >= instant && !fait) {
                fait = true;
                action();
            }
        };
    }
    MachineVirtuelle* m = nullptr;
};

class AvecMachineCablee : public AvecMachineVirtuelle {
protected:
    void SetUp() override
    {
        AvecMachineVirtuelle::SetUp();
        IniParam.EcrireEntier("SORTIES", "OutEnable", 0x7F);
        for (int slot = 0; slot < 7; ++slot)
            IniParam.EcrireEntier("SORTIES", CleIndexee("CBOutItem", slot), slot + 1);
        LireParamEntreeSortie();
        m->Enregistrer(100000);
        m->DefinirDelaiDirection(1);
        PeriodePas = TabPeriodes[1000];
    }
    static uint8_t Motif(int axe, int sens) { return sens < 0 ? MasquePas[axe] : MasquePasDir[axe]; }
};

} // namespace virmak::test
