#include "foundation/entrees_sorties.h"

#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"

#include <algorithm>

namespace virmak {

int32_t PortLPT;
uint16_t AdrDLPT = 888;
uint16_t AdrELPT = 889;
uint16_t AdrCLPT = 890;
uint8_t InUtil, InInvert, InEnable;
uint8_t OutUtil, OutInvert, OutEnable;
int32_t CBInItem[NbEntrees];
int32_t CBOutItem[NbSorties];
uint8_t MasqueButee[3] = { 0x04, 0x04, 0x04 };
uint8_t MasqueButees = 0x04;
uint8_t MasqueArret = 0x04;
uint8_t MasquePalpeur = 0x04;
std::vector<std::string> ConflitsEntreeSortie;
bool CablageUsuelPermis = false;
bool CablageUsuelPris = false;

const char* const ChoixEntree[NbChoixEntree]
    = { "Non utilisé", "b15 = Error", "b13 = Select", "b12 = Paper Out", "b10 = ACK", "b11 = Busy" };
const char* const ChoixSortie[NbChoixSortie] = { "Non utilisée", "b2 = D0", "b3 = D1", "b4 = D2", "b5 = D3",
    "b6 = D4", "b7 = D5", "b8 = D6", "b9 = D7" };
const char* const ChoixPort[NbChoixPort]
    = { "Port DESACTIVE", "LPT1  378h-37Fh", "LPT2  278h-27Fh", "LPT3  3BCh-3BFh", "Autre à définir" };

const char* const LibelleEntree[NbEntrees]
    = { "Butée X", "Butée Y", "Butée Z", "Arrêt d'urgence", "Palpeur outil" };
const char* const LibelleSortie[NbSorties]
    = { "Pas X", "Sens X", "Pas Y", "Sens Y", "Pas Z", "Sens Z", "Broche", "" };

namespace {

    constexpr int32_t AdrDDefaut = 888;
    constexpr int32_t AdrEDefaut = 889;
    constexpr int32_t AdrCDefaut = 890;

    bool historiqueOuvert = false;
    std::vector<std::string> conflitsSignales; // already in the history

    // The key file's ranges keep addresses to 16 bits and these to a byte.
    uint16_t LireAdresse(const char* cle, int32_t defaut)
    {
        return static_cast<uint16_t>(IniParam.LireEntier("PORT", cle, defaut));
    }

    uint8_t LireOctet(const char* section, const char* cle)
    {
        return static_cast<uint8_t>(IniParam.LireEntier(section, cle, 0));
    }

    std::string NomEntree(int slot)
    {
        return *LibelleEntree[slot] ? LibelleEntree[slot] : "entrée réservée";
    }

    std::string NomSortie(int slot)
    {
        return *LibelleSortie[slot] ? LibelleSortie[slot] : "sortie réservée";
    }

    // Reads the pin choices of one direction. Two slots on one pin would wire two
    // signals to one line; the later slot in page order is left without a pin
    // and said so, so the emergency stop never loses its pin to a limit.
    // The result is the byte of the lines taken.
    template <int N>
    uint8_t LireChoix(const char* section, const char* base, int nbChoix, int32_t (&choix)[N],
        uint8_t (*masque)(int32_t), std::string (*nom)(int), const char* const* libelles)
    {
        uint8_t utilise = 0;
        int proprietaire[NbChoixSortie] = {};
        for (int k = 0; k < N; ++k) {
            const int slot = N == NbEntrees ? OrdreEntrees[k] : k;
            int32_t c = IniParam.LireEntier(section, CleIndexee(base, slot), 0);
            if (c < 0 || c >= nbChoix)
                c = 0;
            if (c != 0 && (utilise & masque(c))) {
                ConflitsEntreeSortie.push_back("Entrées/Sorties : dans CncParam.Ini, « "
                    + std::string(libelles[c]) + " » est déjà affecté à « " + nom(proprietaire[c]) + " » ; « "
                    + nom(slot) + " » reste sans affectation.");
                c = 0;
            }
            if (c != 0) {
                utilise |= masque(c);
                proprietaire[c] = slot;
            }
            choix[slot] = c;
        }
        return utilise;
    }

    void SignalerNouveaux()
    {
        if (!historiqueOuvert)
            return;
        for (const std::string& texte : ConflitsEntreeSortie)
            if (std::find(conflitsSignales.begin(), conflitsSignales.end(), texte) == conflitsSignales.end())
                MsgHistorique(texte);
        conflitsSignales = ConflitsEntreeSortie;
    }

    // One direction's keys: the stored InUtil / OutUtil is rebuilt from the
    // slots, and a line no slot holds is neither inverted nor enabled (an
    // inverted free status bit would make every unassigned input read active).
    template <int N>
    void LireDirection(const char* section, const std::string& nom, int nbChoix, int32_t (&choix)[N],
        uint8_t (*masque)(int32_t), std::string (*nomSlot)(int), const char* const* libelles,
        uint8_t& utilise, uint8_t& invert, uint8_t& enable)
    {
        invert = LireOctet(section, (nom + "Invert").c_str());
        enable = LireOctet(section, (nom + "Enable").c_str());
        utilise
            = LireChoix(section, ("CB" + nom + "Item").c_str(), nbChoix, choix, masque, nomSlot, libelles);
        invert &= utilise;
        enable &= utilise;
    }

} // namespace

uint8_t MasqueEntree(int32_t choix)
{
    return (choix > 0 && choix < NbChoixEntree) ? MasqueBit[choix + 3] : MasqueBit[3];
}

uint8_t MasqueSortie(int32_t choix)
{
    return (choix > 0 && choix < NbChoixSortie) ? MasqueBit[choix] : MasqueBit[0];
}

void InitialiserEntreesSorties()
{
    PortLPT = 0;
    AdrDLPT = AdrDDefaut;
    AdrELPT = AdrEDefaut;
    AdrCLPT = AdrCDefaut;
    InUtil = InInvert = InEnable = 0;
    OutUtil = OutInvert = OutEnable = 0;
    std::fill(std::begin(CBInItem), std::end(CBInItem), 0);
    std::fill(std::begin(CBOutItem), std::end(CBOutItem), 0);
    for (uint8_t& m : MasqueButee)
        m = MasqueEntree(0);
    MasqueButees = MasqueArret = MasquePalpeur = MasqueEntree(0);
    ConflitsEntreeSortie.clear();
    conflitsSignales.clear();
    historiqueOuvert = false;
    CablageUsuelPermis = CablageUsuelPris = false;
}

void LireParamEntreeSortie()
{
    PortLPT = IniParam.LireEntier("PORT", "PortLPT", 0);
    AdrDLPT = LireAdresse("AdrDLPT", AdrDDefaut);
    AdrELPT = LireAdresse("AdrELPT", AdrEDefaut);
    AdrCLPT = LireAdresse("AdrCLPT", AdrCDefaut);

    ConflitsEntreeSortie.clear();
    LireDirection("ENTREES", "In", NbChoixEntree, CBInItem, MasqueEntree, NomEntree, ChoixEntree, InUtil,
        InInvert, InEnable);
    LireDirection("SORTIES", "Out", NbChoixSortie, CBOutItem, MasqueSortie, NomSortie, ChoixSortie, OutUtil,
        OutInvert, OutEnable);

    CalculCodesEntreeSortie();
    SignalerNouveaux();
}

uint8_t OctetEntrees(const int32_t (&choix)[NbEntrees])
{
    uint8_t octet = 0;
    for (int32_t c : choix)
        if (c != 0)
            octet |= MasqueEntree(c);
    return octet;
}

uint8_t OctetSorties(const int32_t (&choix)[NbSorties])
{
    uint8_t octet = 0;
    for (int32_t c : choix)
        octet |= MasqueSortie(c);
    return octet;
}

void CalculCodesEntreeSortie()
{
    const bool sorties = CablageUsuelPermis && OctetSorties(CBOutItem) == 0;
    const bool entrees = sorties && OctetEntrees(CBInItem) == 0;
    CablageUsuelPris = sorties;
    const int32_t(&out)[NbSorties] = sorties ? SortiesUsuelles : CBOutItem;
    const int32_t(&in)[NbEntrees] = entrees ? EntreesUsuelles : CBInItem;
    if (sorties) {
        OutEnable = OctetSorties(out);
        OutInvert = 0;
    }
    if (entrees) {
        InEnable = OctetEntrees(in);
        InInvert = 0;
    }

    uint8_t pas = 0;
    for (int axe = 0; axe < 3; ++axe) {
        MasquePas[axe] = MasqueSortie(out[2 * axe]);
        MasquePasDir[axe] = MasquePas[axe] | MasqueSortie(out[2 * axe + 1]);
        pas |= MasquePas[axe];
    }
    MasqueBroche = MasqueSortie(out[SortieBroche]);
    MasqueHorsPas = static_cast<uint8_t>(0xFF & ~pas);

    MasqueButees = 0;
    for (int axe = 0; axe < 3; ++axe) {
        MasqueButee[axe] = MasqueEntree(in[axe]);
        MasqueButees |= MasqueButee[axe];
    }
    MasqueArret = MasqueEntree(in[EntreeArret]);
    MasquePalpeur = MasqueEntree(in[EntreePalpeur]);
}

bool EntreeCablee(uint8_t masque)
{
    return masque != MasqueEntree(0) && (InEnable & masque) == masque;
}

namespace {

    // One direction's keys in their order.
    template <int N>
    void EcrireDirection(const char* section, const std::string& nom, const int32_t (&choix)[N],
        uint8_t utilise, uint8_t invert, uint8_t enable)
    {
        IniParam.EcrireEntier(section, nom + "Util", utilise);
        IniParam.EcrireEntier(section, nom + "Invert", invert);
        IniParam.EcrireEntier(section, nom + "Enable", enable);
        for (int slot = 0; slot < N; ++slot)
            IniParam.EcrireEntier(section, CleIndexee("CB" + nom + "Item", slot), choix[slot]);
    }

} // namespace

void EnregistrerEntreesSorties()
{
    IniParam.DebutLot();
    IniParam.EcrireEntier("PORT", "PortLPT", PortLPT);
    IniParam.EcrireEntier("PORT", "AdrDLPT", AdrDLPT);
    IniParam.EcrireEntier("PORT", "AdrELPT", AdrELPT);
    IniParam.EcrireEntier("PORT", "AdrCLPT", AdrCLPT);
    EcrireDirection("ENTREES", "In", CBInItem, InUtil, InInvert, InEnable);
    EcrireDirection("SORTIES", "Out", CBOutItem, OutUtil, OutInvert, OutEnable);
    IniParam.FinLot();
    CalculCodesEntreeSortie();
}

void SignalerConflitsEntreeSortie()
{
    historiqueOuvert = true;
    SignalerNouveaux();
}

} // namespace virmak
