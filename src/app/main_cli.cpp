// The command-line program: the same core without a window, for scripts,
// checks and demonstrations.

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "foundation/vue.h"
#include "iso/correction_outils.h"
#include "iso/trace_prog.h"
#include "iso/traite_prog.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "pupitre/parametrage.h"
#include "pupitre/programme.h"

#include <climits>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

using namespace virmak;

namespace {

// Message boxes become lines on standard error; nothing waits.
class VueTerminal : public Vue {
public:
    void Repeindre(const std::string&) override { }
    void TraiterMessages() override { }
    void Message(const std::string& texte) override { std::fprintf(stderr, "%s\n", texte.c_str()); }
    void DonnerFocus(const std::string&) override { }
    void Aide(int) override { }
};

void Usage()
{
    std::fprintf(stderr,
        "usage : virmak-cli [--rep DOSSIER] config\n"
        "        virmak-cli [--rep DOSSIER] analyse PROGRAMME\n"
        "        virmak-cli [--rep DOSSIER] programme PROGRAMME\n"
        "        virmak-cli [--rep DOSSIER] parcours PROGRAMME\n");
}

std::string RepertoireExecutable()
{
    char chemin[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", chemin, sizeof chemin - 1);
    if (n <= 0)
        return {};
    std::string s(chemin, static_cast<size_t>(n));
    return s.substr(0, s.rfind('/') + 1);
}

void Ligne(const std::string& nom, const std::string& valeur)
{
    std::printf("%s=%s\n", nom.c_str(), valeur.c_str());
}

std::string Bool(bool b)
{
    return b ? "1" : "0";
}

std::string Hex(unsigned v)
{
    char t[8];
    std::snprintf(t, sizeof t, "0x%02X", v);
    return t;
}

void AfficherConfiguration()
{
    Ligne("RepExe", RepExe);
    Ligne("NomAide", NomAide);
    Ligne("NomRepProg", NomRepProg);
    Ligne("NomProgAffiche", NomProgAffiche);
    for (int i = 0; i < 3; ++i) {
        Ligne(CleIndexee("AvMax", i), std::to_string(AvMax[i]));
        Ligne(CleIndexee("ValPas", i), FormatGeneral(ValPas[i]));
        Ligne(CleIndexee("NPasJ", i), std::to_string(NPasJ[i]));
    }
    Ligne("CreteCir", FormatGeneral(CreteCir));
    Ligne("AvRap", FormatGeneral(AvRap));
    Ligne("LarCreneau", std::to_string(LarCreneau));
    Ligne("AvertOK", Bool(AvertOK));
    Ligne("Simulation", Bool(Simulation));
    Ligne("AffRapide", Bool(AffRapide));
    Ligne("Debogage", Bool(Debogage));
    Ligne("MesAvert", Bool(MesAvert));
    Ligne("SuiviPrg", Bool(SuiviPrg));
    for (int i = 0; i < 3; ++i)
        Ligne(CleIndexee("CompJeu", i), Bool(CompJeu[i]));
    Ligne("CalageZ", Bool(CalageZ));
    Ligne("MaxLProg", std::to_string(MaxLProg));
    Ligne("PrgPou", std::to_string(PrgPou));
    Ligne("PrgMet", std::to_string(PrgMet));
    Ligne("G83d", FormatGeneral(G83d));
    Ligne("NbIncrements", std::to_string(NbIncrements));
    for (int k = 1; k <= NbIncrements; ++k)
        Ligne(CleIndexee("ValIncr", k), FormatGeneral(ValIncrement[k]));
    Ligne("AvanceMax", FormatGeneral(AvanceMax));
    Ligne("AvanceCourante", FormatGeneral(AvanceCourante));
    Ligne("CorrAvance", std::to_string(CorrAvance));
    Ligne("TrackBarVitAv.Max", std::to_string(Form1.TrackBarVitAv.Max));
    Ligne("TrackBarVitAv.Frequence", std::to_string(Form1.TrackBarVitAv.Frequence));
    Ligne("FreqCompteur", std::to_string(FreqCompteur));
    Ligne("DureeBoucle", FormatGeneral(DureeBoucle));
    Ligne("BouclesCreneau", std::to_string(BouclesCreneau));
    Ligne("Top", std::to_string(Form1.Top));
    Ligne("Left", std::to_string(Form1.Left));
    Ligne("Width", std::to_string(Form1.Width));
    Ligne("Height", std::to_string(Form1.Height));
    for (int i = 0; i < 3; ++i) {
        Ligne(CleIndexee("MasquePas", i), Hex(MasquePas[i]));
        Ligne(CleIndexee("MasquePasDir", i), Hex(MasquePasDir[i]));
    }
    Ligne("MasqueBroche", Hex(MasqueBroche));
    Ligne("MasqueHorsPas", Hex(MasqueHorsPas));
    Ligne("PortLPT", std::to_string(PortLPT));
    Ligne("AdrDLPT", std::to_string(AdrDLPT));
    Ligne("AdrELPT", std::to_string(AdrELPT));
    Ligne("AdrCLPT", std::to_string(AdrCLPT));
    Ligne("InUtil", Hex(InUtil));
    Ligne("InInvert", Hex(InInvert));
    Ligne("InEnable", Hex(InEnable));
    for (int i = 0; i < NbEntrees; ++i)
        Ligne(CleIndexee("CBInItem", i), std::to_string(CBInItem[i]));
    Ligne("OutUtil", Hex(OutUtil));
    Ligne("OutInvert", Hex(OutInvert));
    Ligne("OutEnable", Hex(OutEnable));
    for (int i = 0; i < NbSorties; ++i)
        Ligne(CleIndexee("CBOutItem", i), std::to_string(CBOutItem[i]));
    for (int i = 0; i < 3; ++i)
        Ligne(CleIndexee("MasqueButee", i), Hex(MasqueButee[i]));
    Ligne("MasqueButees", Hex(MasqueButees));
    Ligne("MasqueArret", Hex(MasqueArret));
}

// The program's lines into the list, as the desktop program loads them but
// without recording a load in the machine's history.
bool ChargerListe(const std::string& chemin)
{
    std::string erreur;
    if (!LireProgramme(chemin, Form1.ListBoxProg1.Lignes, erreur)) {
        std::fprintf(stderr, "%s\n", erreur.c_str());
        return false;
    }
    return true;
}

// Start-up with the configuration folder's parameters and tools, then the
// program read and analysed into TabProg.
bool Analyser(const std::string& chemin)
{
    FormCreate();
    RestaureParametres();
    if (!ChargerListe(chemin))
        return false;
    BoiteProg boite;
    return TraiteIso(boite);
}

void Sortir(const std::string& texte)
{
    std::fwrite(texte.data(), 1, texte.size(), stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> mots;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--rep" && i + 1 < args.size()) {
            RepDemande = args[++i];
        } else if (!args[i].empty() && args[i][0] != '-') {
            mots.push_back(args[i]);
        } else {
            Usage();
            return 2;
        }
    }
    if (mots.empty()) {
        Usage();
        return 2;
    }
    const std::string commande = mots[0];
    const size_t attendus = commande == "config" ? 1 : 2;
    if (mots.size() != attendus) {
        Usage();
        return 2;
    }
    VueTerminal vue;
    DefinirVue(&vue);
    RepExe = RepertoireExecutable();
    if (commande == "config") {
        FormCreate();
        RestaureParametres();
        AfficherConfiguration();
        return 0;
    }
    if (commande == "analyse") {
        if (!Analyser(mots[1]))
            return 1;
        Sortir(Listing());
        return 0;
    }
    if (commande == "programme") {
        if (!Analyser(mots[1]))
            return 1;
        Sortir(TexteTrace(TabProg, NbLignesProg));
        return 0;
    }
    if (commande == "parcours") {
        if (!Analyser(mots[1]) || !CorrectionOutils())
            return 1;
        Sortir(TexteTrace(TabProgCorr, NbLignesCorr));
        return 0;
    }
    Usage();
    return 2;
}
