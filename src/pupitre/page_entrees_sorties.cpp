#include "pupitre/page_entrees_sorties.h"

#include "foundation/file_evenements.h"
#include "foundation/vue.h"

#include <algorithm>

namespace virmak {

PageEntreesSorties PageES;

namespace {

    // The byte of the lines whose row has its box ticked and a pin.
    template <int N>
    uint8_t OctetCoche(LigneSignal (&lignes)[N], CaseACocher LigneSignal::*boite, const int32_t* choix,
        uint8_t (*masque)(int32_t))
    {
        uint8_t octet = 0;
        for (LigneSignal& ligne : lignes)
            if ((ligne.*boite).Cochee && choix[ligne.Tag] != 0)
                octet |= masque(choix[ligne.Tag]);
        return octet;
    }

    template <int N>
    void MontrerLignes(LigneSignal (&lignes)[N], const int32_t* choix, uint8_t (*masque)(int32_t),
        uint8_t invert, uint8_t enable)
    {
        for (LigneSignal& ligne : lignes) {
            const int32_t c = choix[ligne.Tag];
            const uint8_t m = masque(c);
            ligne.CB.Selection = c;
            ligne.Inverse.Cochee = c != 0 && (invert & m) == m;
            ligne.Active.Cochee = c != 0 && (enable & m) == m;
        }
    }

    constexpr int AutrePort = 4;

    // Data, status and control register of each port entry but the last.
    constexpr uint16_t AdressesPort[AutrePort][3]
        = { { 0, 0, 0 }, { 0x378, 0x379, 0x37A }, { 0x278, 0x279, 0x27A }, { 0x3BC, 0x3BD, 0x3BE } };

    void Remplir(Liste& liste, const char* const* entrees, int nb)
    {
        liste.Vider();
        for (int i = 0; i < nb; ++i)
            liste.Ajouter(entrees[i]);
        liste.Selection = 0;
    }

    void PreparerLigne(LigneSignal& ligne, int slot, const char* libelle, const char* const* choix,
        int nbChoix, bool reservee)
    {
        ligne.Libelle = libelle;
        ligne.Tag = slot;
        Remplir(ligne.CB, choix, nbChoix);
        ligne.Inverse.Texte = "Inversé";
        ligne.Active.Texte = "Activé";
        ligne.CB.Actif = ligne.Inverse.Actif = ligne.Active.Actif = !reservee;
    }

    void Modifie()
    {
        PageES.BitBtnRestore.Actif = true;
        PageES.BitBtnAppli.Actif = true;
    }

    // Both directions follow one rule: a pin held by another slot of the same
    // direction is refused and the list goes back to the slot's choice.
    void ChoisirBroche(LigneSignal& ligne, int32_t& item, uint8_t& utilise, uint8_t (*masque)(int32_t),
        int nbChoix, int choix)
    {
        if (!ligne.CB.Actif || choix < 0 || choix >= nbChoix)
            return;
        // The slot's own pin is not "already used": picking it again is no change.
        if (choix == item) {
            ligne.CB.Selection = item;
            return;
        }
        if (choix != 0 && (utilise & masque(choix)) != 0) {
            VueActive().Message(TexteEntreeUtilisee);
            ligne.CB.Selection = item;
        } else {
            if (item != 0)
                utilise &= static_cast<uint8_t>(~masque(item));
            if (choix != 0)
                utilise |= masque(choix);
            item = choix;
            ligne.CB.Selection = choix;
        }
        Modifie();
    }

} // namespace

PageEntreesSorties::PageEntreesSorties()
{
    Remplir(CBPort, ChoixPort, NbChoixPort);
    CBPort.Conseil = ConseilPort;
    for (int i = 0; i < NbEntrees; ++i) {
        const int slot = OrdreEntrees[i];
        PreparerLigne(Entrees[i], slot, LibelleEntree[slot], ChoixEntree, NbChoixEntree, false);
    }
    for (int slot = 0; slot < NbSorties; ++slot)
        PreparerLigne(
            Sorties[slot], slot, LibelleSortie[slot], ChoixSortie, NbChoixSortie, slot == SortieReservee);
    BitBtnRestore = Controle { "Restaurer", "", false, true };
    BitBtnAppli = Controle { "Appliquer", "", false, true };
}

LigneSignal& PageEntreesSorties::Entree(int slot)
{
    for (LigneSignal& ligne : Entrees)
        if (ligne.Tag == slot)
            return ligne;
    return Entrees[0];
}

void CBInChange(int slot, int choix)
{
    if (slot >= 0 && slot < NbEntrees)
        ChoisirBroche(PageES.Entree(slot), CBInItem[slot], InUtil, MasqueEntree, NbChoixEntree, choix);
}

void CBOutChange(int slot, int choix)
{
    if (slot >= 0 && slot < NbSorties)
        ChoisirBroche(PageES.Sortie(slot), CBOutItem[slot], OutUtil, MasqueSortie, NbChoixSortie, choix);
}

void CBPortChange(int entree)
{
    if (entree < 0 || entree >= NbChoixPort)
        return;
    // No other register addresses can be entered: the port stays off rather
    // than looking usable at addresses nobody chose.
    if (entree == AutrePort) {
        VueActive().Message(TexteAutrePort);
        entree = 0;
    }
    PortLPT = entree;
    AdrDLPT = AdressesPort[entree][0];
    AdrELPT = AdressesPort[entree][1];
    AdrCLPT = AdressesPort[entree][2];
    PageES.CBPort.Selection = entree;
    Modifie();
}

void BitBtnCablageUsuelClick()
{
    VERIFIER_FIL_MACHINE();
    std::copy(std::begin(SortiesUsuelles), std::end(SortiesUsuelles), std::begin(CBOutItem));
    std::copy(std::begin(EntreesUsuelles), std::end(EntreesUsuelles), std::begin(CBInItem));
    OutUtil = OctetSorties(CBOutItem);
    InUtil = OctetEntrees(CBInItem);
    MontrerLignes(PageES.Sorties, CBOutItem, MasqueSortie, 0, OutUtil);
    MontrerLignes(PageES.Entrees, CBInItem, MasqueEntree, 0, InUtil);
    Modifie();
}

void CheckBoxESClick(CaseACocher& boite, bool cochee)
{
    if (!boite.Actif)
        return;
    boite.Cochee = cochee;
    Modifie();
}

void EcrireParamEntreeSortie()
{
    InInvert = OctetCoche(PageES.Entrees, &LigneSignal::Inverse, CBInItem, MasqueEntree);
    InEnable = OctetCoche(PageES.Entrees, &LigneSignal::Active, CBInItem, MasqueEntree);
    OutInvert = OctetCoche(PageES.Sorties, &LigneSignal::Inverse, CBOutItem, MasqueSortie);
    OutEnable = OctetCoche(PageES.Sorties, &LigneSignal::Active, CBOutItem, MasqueSortie);
    EnregistrerEntreesSorties();
}

void UpdatePageEntreeSortie()
{
    PageES.CBPort.Selection = PortLPT;
    MontrerLignes(PageES.Entrees, CBInItem, MasqueEntree, InInvert, InEnable);
    MontrerLignes(PageES.Sorties, CBOutItem, MasqueSortie, OutInvert, OutEnable);
}

} // namespace virmak
