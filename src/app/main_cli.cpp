// The command-line program: the same core without a window, for scripts,
// checks and demonstrations.

#include "exec/cycle_usinage.h"
#include "exec/origine.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/nombres.h"
#include "foundation/plateforme.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "foundation/vue.h"
#include "iso/correction_outils.h"
#include "iso/courses.h"
#include "iso/trace_prog.h"
#include "iso/traite_prog.h"
#include "machine/choix_port.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/latence.h"
#include "machine/machine_virtuelle.h"
#include "machine/temporisation.h"
#include "pupitre/demarrage.h"
#include "pupitre/parametrage.h"
#include "pupitre/programme.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <sys/stat.h>
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

constexpr const char* TexteUsage
    = "usage : virmak-cli [--rep DOSSIER] [--machine-virtuelle] config\n"
      "        virmak-cli [--rep DOSSIER] analyse PROGRAMME\n"
      "        virmak-cli [--rep DOSSIER] programme PROGRAMME\n"
      "        virmak-cli [--rep DOSSIER] parcours PROGRAMME\n"
      "        virmak-cli [--rep DOSSIER] latence [--duree SECONDES] "
      "[--frequence PAS_PAR_SECONDE] [--cpu N]\n"
      "        virmak-cli [--rep DOSSIER] execute PROGRAMME [--pas FICHIER] [--depuis N] [--temps]\n"
      "        virmak-cli [--rep DOSSIER] origine | palpage\n"
      "        virmak-cli --help | --version\n";

constexpr const char* TexteAide
    = "\n"
      "Le cœur de Virmak sans fenêtre. Le dossier de configuration (CncParam.Ini,\n"
      "CncOutil.Ini) est lu, jamais écrit.\n"
      "\n"
      "  config             chaque valeur de la configuration, en lignes Nom=valeur, et\n"
      "                     le port parallèle qui serait utilisé (ouvert pour l'essai)\n"
      "  analyse PROGRAMME  le listing d'analyse du programme (le fichier .MCH)\n"
      "                     analyse et execute refusent un programme dont le centre de\n"
      "                     l'outil sortirait de la course (clés Course(i) de [AXES])\n"
      "  programme PROGRAMME, parcours PROGRAMME\n"
      "                     le programme analysé et le parcours du centre de l'outil\n"
      "  execute PROGRAMME  le cycle entier sur la machine virtuelle et l'horloge\n"
      "                     virtuelle : les pas émis, les positions décodées, la durée\n"
      "                     exacte d'usinage et la fin du cycle ; --pas FICHIER écrit les\n"
      "                     pas décodés (instant en s, axe, sens) ; --depuis N démarre à\n"
      "                     la ligne N comme \"Démarrer à ce bloc\", approche comprise ;\n"
      "                     --temps donne aussi l'instant où finit chaque bloc, Temps(i)\n"
      "  origine            la prise d'origine sur les butées de la machine virtuelle\n"
      "                     (courses Course(i) de [AXES]) : le message, les\n"
      "                     positions décodées et lues, la durée\n"
      "  palpage            le palpage Z sur la cale de la machine virtuelle (clé Cale\n"
      "                     de [MACHINE VIRTUELLE]), de même\n"
      "  latence            la régularité des pas sur cette machine : l'émetteur réel,\n"
      "                     l'horloge réelle, sur le port virtuel ; à lancer avant de\n"
      "                     régler AvMax (par défaut 5 s à 20000 pas par seconde)\n"
      "  --rep DOSSIER      un autre dossier de configuration, qui doit exister\n"
      "  --machine-virtuelle  une machine simulée à la place du port parallèle\n"
      "\n"
      "Code de sortie : 0 réussi, 1 fichier illisible ou programme refusé, 2 mauvais\n"
      "usage.\n";

constexpr int SortieErreur = 1;
constexpr int SortieUsage = 2;

int ErreurUsage(const std::string& texte)
{
    if (!texte.empty())
        std::fprintf(stderr, "virmak-cli : %s\n", texte.c_str());
    std::fputs(TexteUsage, stderr);
    return SortieUsage;
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
    // The ramps' keys only where they are set: without them the listing
    // stays what it always was.
    for (int i = 0; i < 3; ++i)
        if (Acceleration[i] != 0 || VitesseRampe[i] != 0) {
            Ligne(CleIndexee("Acceleration", i), std::to_string(Acceleration[i]));
            Ligne(CleIndexee("VitesseRampe", i), std::to_string(VitesseRampe[i]));
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
    Ligne("CentresRelatifs", Bool(CentresRelatifs));
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

// Start-up with the configuration folder's parameters and tools, nothing
// written. What the desktop program would record in its history goes to
// standard error. False when a key file could not be read.
bool Demarrer(Usage usage = Usage::Machine)
{
    FormCreate(usage);
    RestaureParametres();
    for (const std::string& texte : HistoriqueEnAttente())
        std::fprintf(stderr, "%s\n", texte.c_str());
    if (CablageUsuelPris)
        std::fprintf(
            stderr, "virmak-cli : %s (aucune sortie n'est affectée dans CncParam.Ini).\n", TexteCablageUsuel);
    return !IniParam.Illisible() && !IniOutil.Illisible();
}

void Sortir(std::string_view texte)
{
    std::fwrite(texte.data(), 1, texte.size(), stdout);
}

// The program read as the desktop program loads it, but without recording a
// load in the machine's history, and analysed. Only a run needs the program
// list, which it shows block by block; the other commands take the lines
// straight from the file. With `listing`, the listing is written as the
// analysis goes (ListingIso), without filling TabProg, once the
// configuration was read whole and when it sets no travel.
bool Analyser(const std::string& chemin, Usage usage, bool listing = false)
{
    const bool configuration = Demarrer(usage);
    std::string erreur;
    BoiteProg boite;
    if (usage == Usage::Machine) {
        std::vector<std::string> lignes;
        if (!LireProgramme(chemin, lignes, erreur)) {
            std::fprintf(stderr, "%s\n", erreur.c_str());
            return false;
        }
        Form1.ListBoxProg1.Lignes = std::move(lignes);
        return TraiteIso(boite) && configuration;
    }
    LecteurLignes lignes;
    if (!OuvrirProgramme(chemin, lignes, erreur)) {
        std::fprintf(stderr, "%s\n", erreur.c_str());
        return false;
    }
    // The fit check needs the whole table: with a travel configured the
    // listing is written from it afterwards.
    const bool ecrire = listing && configuration && !CoursesConnues();
    const bool analyse = ecrire ? ListingIso(lignes, Sortir) : TraiteIso(lignes, boite);
    if (lignes.Etat() != Lecture::Ok) {
        std::fprintf(stderr, "%s\n", MessageLecture(chemin, lignes.Etat()).c_str());
        return false;
    }
    return analyse && configuration;
}

// The tables and lists are released with the process: freeing them one
// by one would only add to the run. Standard output is flushed first.
[[noreturn]] void Terminer(int statut)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(std::ferror(stdout) ? SortieErreur : statut);
}

const char* const Axes[3] = { "X", "Y", "Z" };

// The virtual machine whatever PortLPT says, with the configured pins,
// inversions and enables, in memory only, the clock at 0. Its travel and
// plate as the window's virtual machine has them, so a move that leaves
// the travel ends on a limit switch here too.
MachineVirtuelle& PrendreMachineVirtuelle(PlateformeVirtuelle& horloge)
{
    auto machine = std::make_unique<MachineVirtuelle>();
    MachineVirtuelle& m = *machine;
    ReglerCourses(m);
    DefinirPort(std::move(machine));
    PortLPT = 1;
    Simulation = false;
    InstantPas = 0;
    horloge.maintenant = 0;
    return m;
}

// The positions decoded (mm) and read out, and the time on the clock.
void Positions(const MachineVirtuelle& m, const PlateformeVirtuelle& horloge)
{
    for (int i = 0; i < 3; ++i)
        Ligne(std::string("Position") + Axes[i],
            FormatFixe(static_cast<double>(m.Position(i)) * ValPas[i], 0, 3));
    for (int i = 0; i < 3; ++i)
        Ligne(std::string("Lecture") + Axes[i], FormatFixe(PosPas[i] * ValPas[i], 0, 3));
    Ligne("Duree", FormatFixe(static_cast<double>(horloge.maintenant) / 1e9, 0, 6));
}

constexpr size_t PasEnregistres = 5000000;

// The decoded steps, one line each (instant in s, axis, direction), written
// in pieces of about 64 KB: millions of steps never sit whole in memory.
bool EcrirePas(const std::string& chemin, std::span<const PasVirtuel> pas)
{
    if (pas.size() >= PasEnregistres)
        std::fprintf(stderr, "virmak-cli : seuls les %zu premiers pas sont écrits.\n", PasEnregistres);
    FichierAtomique fichier;
    if (!fichier.Ouvrir(chemin))
        return false;
    constexpr size_t Morceau = 1 << 16;
    std::string texte;
    texte.reserve(Morceau + 64);
    for (const PasVirtuel& p : pas) {
        AjouterFixe(texte, static_cast<double>(p.instant) / 1e9, 0, 9);
        texte += std::string_view(p.axe == 0 ? " X " : (p.axe == 1 ? " Y " : " Z "));
        texte += std::string_view(p.sens > 0 ? "+1\r\n" : "-1\r\n");
        if (texte.size() >= Morceau) {
            fichier.Ecrire(texte);
            texte.clear();
        }
    }
    return fichier.Ecrire(texte) && fichier.Terminer();
}

// The whole run on the virtual machine and clock: what the desktop program
// would do with this configuration, every M0 acknowledged.
// The virtual instant each block ended at, by its number (execute --temps).
std::vector<int64_t> FinsDeBlocs;
PlateformeVirtuelle horloge;

int Executer(const std::string& chemin, const std::string& fichierPas, size_t depuis, bool temps)
{
    DefinirPlateforme(&horloge);
    MouvementsVirtuels = true;
    MachineVirtuelleDemandee = true;
    if (!Analyser(chemin, Usage::Machine))
        return SortieErreur;
    MachineVirtuelle& m = PrendreMachineVirtuelle(horloge);
    if (!fichierPas.empty())
        m.Enregistrer(PasEnregistres);
    CycleEnCours = true;
    // The tool path, and so the number of blocks, is made by the run.
    if (temps)
        BlocTermine = [](size_t bloc) {
            if (bloc >= FinsDeBlocs.size())
                FinsDeBlocs.resize(bloc + 1, -1);
            FinsDeBlocs[bloc] = horloge.maintenant;
        };
    const FinCycle fin = depuis ? CycleDepuisLigne(depuis - 1) : CycleUsinage();
    if (fin == FinCycle::Refus)
        return SortieErreur;
    // Blocks skipped by --depuis or after a stop have no instant.
    for (size_t i = 1; i < FinsDeBlocs.size(); ++i)
        if (FinsDeBlocs[i] >= 0)
            Ligne(CleIndexee("Temps", static_cast<int>(i)),
                FormatFixe(static_cast<double>(FinsDeBlocs[i]) / 1e9, 0, 6));
    Ligne("Blocs", std::to_string(NbLignesCorr));
    for (int i = 0; i < 3; ++i)
        Ligne(std::string("Pas") + Axes[i], std::to_string(m.PasEmis(i)));
    Positions(m, horloge);
    Ligne("Fin", fin == FinCycle::Normale ? "normale" : (fin == FinCycle::Urgence ? "urgence" : "butée"));
    if (!fichierPas.empty() && !EcrirePas(fichierPas, m.PasEnregistres())) {
        std::fprintf(stderr, "virmak-cli : impossible d'écrire %s\n", fichierPas.c_str());
        return SortieErreur;
    }
    return fin == FinCycle::Normale ? 0 : SortieErreur;
}

// The reference or the probing on the virtual machine and clock, from
// zero, as the desktop program would make them with this configuration.
int Manoeuvrer(bool origine)
{
    static PlateformeVirtuelle horloge;
    DefinirPlateforme(&horloge);
    MouvementsVirtuels = true;
    MachineVirtuelleDemandee = true;
    const bool lu = Demarrer();
    const MachineVirtuelle& m = PrendreMachineVirtuelle(horloge);
    if (origine)
        BtOrigineClick();
    else
        BtPalpageClick();
    Ligne("Message", Form1.MesEtat.Texte);
    Positions(m, horloge);
    return ManoeuvreReussie && lu ? 0 : SortieErreur;
}

} // namespace

int main(int argc, char** argv)
{
    // Everything goes out in large blocks: a listing is tens of thousands
    // of lines.
    static char tampon[1 << 16];
    std::setvbuf(stdout, tampon, _IOFBF, sizeof tampon);

    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> mots;
    double duree = 5, frequence = 20000, cpu = -1;
    std::string fichierPas;
    size_t depuis = 0;
    bool temps = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(TexteUsage, stdout);
            std::fputs(TexteAide, stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("virmak-cli %s\n", TexteVersion);
            return 0;
        }
        if (a == "--machine-virtuelle") {
            MachineVirtuelleDemandee = true;
        } else if (a == "--pas") {
            if (i + 1 >= args.size())
                return ErreurUsage("l'option --pas demande un fichier");
            fichierPas = args[++i];
        } else if (a == "--temps") {
            temps = true;
        } else if (a == "--depuis") {
            const std::optional<double> v = i + 1 < args.size() ? LireReelTexte(args[i + 1]) : std::nullopt;
            if (!v || !(*v >= 1 && *v <= 1e9) || *v != std::floor(*v))
                return ErreurUsage("l'option --depuis demande un numéro de ligne, 1 pour la première");
            ++i;
            depuis = static_cast<size_t>(*v);
        } else if (a == "--duree" || a == "--frequence" || a == "--cpu") {
            const std::optional<double> v = i + 1 < args.size() ? LireReelTexte(args[i + 1]) : std::nullopt;
            if (!v || !std::isfinite(*v) || *v < 0)
                return ErreurUsage("l'option " + a + " demande un nombre positif");
            ++i;
            (a == "--duree" ? duree : a == "--frequence" ? frequence : cpu) = *v;
        } else if (a == "--rep") {
            if (i + 1 >= args.size())
                return ErreurUsage("l'option --rep demande un dossier");
            RepDemande = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return ErreurUsage("option inconnue : " + a);
        } else {
            mots.push_back(a);
        }
    }
    if (mots.empty())
        return ErreurUsage("");
    const std::string commande = mots[0];
    const bool avecProgramme
        = commande == "analyse" || commande == "programme" || commande == "parcours" || commande == "execute";
    const bool manoeuvre = commande == "origine" || commande == "palpage";
    if (!avecProgramme && !manoeuvre && commande != "config" && commande != "latence")
        return ErreurUsage("commande inconnue : " + commande);
    if (mots.size() != (avecProgramme ? 2u : 1u))
        return ErreurUsage(avecProgramme ? "la commande " + commande + " demande un seul PROGRAMME"
                                         : "la commande " + commande + " ne prend pas d'argument");
    if (frequence < 1 || frequence > VitesseMaxTable)
        return ErreurUsage("la fréquence va de 1 à 20000 pas par seconde");
    if (!(duree > 0))
        return ErreurUsage("la durée de la mesure doit dépasser 0 seconde");
    if (cpu >= 0 && (cpu != std::floor(cpu) || !ProcesseurDisponible(static_cast<int>(cpu))))
        return ErreurUsage("le processeur " + FormatGeneral(cpu) + " n'existe pas ou n'est pas permis ici");
    // A mistyped folder must not be taken for an empty configuration.
    struct stat st { };
    if (!RepDemande.empty() && (::stat(RepDemande.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) {
        std::fprintf(stderr,
            "virmak-cli : le dossier de configuration %s n'existe pas ou n'est pas un dossier.\n",
            RepDemande.c_str());
        return SortieUsage;
    }

    VueTerminal vue;
    DefinirVue(&vue);
    LectureSeule = true;
    RepExe = RepertoireExecutable();
    if (depuis && commande != "execute")
        return ErreurUsage("l'option --depuis ne vaut que pour execute");
    if (temps && commande != "execute")
        return ErreurUsage("l'option --temps ne vaut que pour execute");
    if (commande == "execute")
        Terminer(Executer(mots[1], fichierPas, depuis, temps));
    if (manoeuvre)
        Terminer(Manoeuvrer(commande == "origine"));
    if (commande == "latence") {
        Demarrer();
        const MesureLatence m = MesurerLatence(duree, static_cast<int32_t>(frequence), static_cast<int>(cpu));
        Ligne("Frequence", std::to_string(m.Frequence));
        Ligne("Pas", std::to_string(m.Pas));
        Ligne("TempsReel", Bool(m.TempsReel));
        Ligne("Bridage", m.Bridage);
        Ligne("P50_us", FormatFixe(m.P50, 0, 1));
        Ligne("P99_us", FormatFixe(m.P99, 0, 1));
        Ligne("P999_us", FormatFixe(m.P999, 0, 1));
        Ligne("Max_us", FormatFixe(m.Max, 0, 1));
        Ligne("Retards_20us", std::to_string(m.Retards20));
        Ligne("Retards_100us", std::to_string(m.Retards100));
        std::printf("%s\n", m.Conseil.c_str());
        Terminer(0);
    }
    if (commande == "config") {
        const bool lu = Demarrer();
        AfficherConfiguration();
        // Whether the port opens is what a new installation wants to know.
        const std::string refus = OuvrirPortConfigure();
        if (!refus.empty())
            std::fprintf(stderr, "%s\n", refus.c_str());
        Ligne("Port", PortActif().Nom());
        // The check is over: the port goes back to whoever else needs it.
        FermerPort();
        Terminer(lu ? 0 : SortieErreur);
    }
    if (!Analyser(mots[1], Usage::AnalyseSeule, commande == "analyse"))
        Terminer(SortieErreur);
    if (commande == "analyse") {
        // A job the machine's travel cannot hold is refused as a run would
        // refuse it, before the listing: that needs the tool path, so the
        // analysis went into TabProg. With no travel configured the listing
        // was written as the analysis went.
        if (CoursesConnues()) {
            if (!CorrectionOutils())
                Terminer(SortieErreur);
            const std::string refus = ControleCourses();
            if (!refus.empty()) {
                std::fprintf(stderr, "%s\n", refus.c_str());
                Terminer(SortieErreur);
            }
            ListingParMorceaux(Sortir);
        }
        Terminer(0);
    }
    if (commande == "programme")
        Sortir(TexteTrace(TabProg, NbLignesProg));
    else if (!CorrectionOutils())
        Terminer(SortieErreur);
    else
        Sortir(TexteTrace(TabProgCorr, NbLignesCorr));
    Terminer(0);
}
