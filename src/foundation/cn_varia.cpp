#include "foundation/cn_varia.h"

#include "foundation/aide.h"
#include "foundation/cn_historique.h"
#include "foundation/entrees_sorties.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace virmak {

std::string RepDemande;
bool LectureSeule = false;
std::string RepExe;
FichierIni IniParam;
FichierIni IniOutil;
std::string NomAide;
std::string NomRepProg;
std::string NomProgAffiche;

int32_t AvMax[3];
double ValPas[3];
int32_t NPasJ[3];
int32_t Acceleration[3];
int32_t VitesseRampe[3];
double CreteCir;
double AvRap;
int32_t LarCreneau;

bool AvertOK, Simulation, AffRapide, Debogage, MesAvert, SuiviPrg, CalageZ;
bool CompJeu[3];

uint16_t MaxLProg;
int32_t PrgPou, PrgMet;
bool CentresRelatifs;
double G83d;
int32_t CpuMouvement = -1;

int32_t NbIncrements;
double ValIncrement[MaxIncrements + 1];
std::string LibIncrement[MaxIncrements + 1];

double PosMm[3];
int32_t PosPas[3];
int32_t PosAffichee[3];
int32_t SensAxe[3];
bool ButeeMoins[3], ButeePlus[3];
bool ButeeActivee, ArretUrgence, BrocheEnMarche;
bool CycleEnCours, ModePasAPas, StopFinBloc, PasSuivant;
bool ProgAnalyse, ParcoursCalcule;
double FacteurUnite = 1.0;
double AvanceMax;
double AvanceCourante;
int32_t CorrAvance = 10;
uint8_t OctetSortie;
int32_t AxeAffiche, AxePrincipal;

TableProg TabProg;
uint16_t NbLignesProg;
TableProg TabProgCorr;
uint16_t NbLignesCorr;
LigneProg LigneDefaut;
TOutil TabOutils[NbOutils];

uint32_t CoulFond, CoulAxes, CoulRapide, CoulContour, CoulOutil;
double EchelleApercu = 1.0;
double ZoomApercu = 1.0;
int32_t OrigineApercu[2];

uint8_t MasquePas[3], MasquePasDir[3], MasqueBroche, MasqueHorsPas;

namespace {

    constexpr double ValPasDefaut = 0.0025;

    bool CreerDossiers(const std::string& chemin)
    {
        std::string partiel;
        for (size_t i = 0; i < chemin.size(); ++i) {
            partiel += chemin[i];
            if ((chemin[i] == '/' || i + 1 == chemin.size()) && partiel.size() > 1) {
                if (::mkdir(partiel.c_str(), 0755) != 0 && errno != EEXIST)
                    return false;
            }
        }
        return true;
    }

    bool EstDossier(const std::string& chemin)
    {
        struct stat st;
        return ::stat(chemin.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    std::string AvecSeparateur(std::string rep)
    {
        if (rep.empty() || rep.back() != '/')
            rep += '/';
        return rep;
    }

    void LireAxes()
    {
        for (int i = 0; i < 3; ++i) {
            AvMax[i] = LireAvMaxFichier(i);
            ValPas[i] = IniParam.LireReel("AXES", CleIndexee("ValPas", i), ValPasDefaut);
            NPasJ[i] = IniParam.LireEntier("AXES", CleIndexee("NPasJ", i), 0);
            Acceleration[i] = IniParam.LireEntier("AXES", CleIndexee("Acceleration", i), 0);
            VitesseRampe[i] = IniParam.LireEntier("AXES", CleIndexee("VitesseRampe", i), 0);
        }
    }

} // namespace

bool RampeAxe(int axe)
{
    return Acceleration[axe] > 0 && VitesseRampe[axe] > 0 && VitesseRampe[axe] > AvMax[axe];
}

bool RampesActives()
{
    return RampeAxe(0) || RampeAxe(1) || RampeAxe(2);
}

int32_t VitesseHaute(int axe)
{
    return RampeAxe(axe) ? VitesseRampe[axe] : AvMax[axe];
}

double AvanceMaxMachine()
{
    return AvanceMaxiVectorielle(VitesseHaute(0), VitesseHaute(1), VitesseHaute(2));
}

int32_t LireAvMaxFichier(int axe)
{
    return IniParam.LireEntier("AXES", CleIndexee("AvMax", axe), 1000);
}

double LireCreteCirFichier()
{
    return IniParam.LireReel("AXES", "CreteCir", 0.005);
}

double LireAvRapFichier()
{
    return IniParam.LireReel("AXES", "AvRap", 0.8);
}

double LireCourse(int axe)
{
    const double course = IniParam.LireReel("AXES", CleIndexee("Course", axe), 0);
    return std::isfinite(course) && course > 0 ? course : 0;
}

int32_t LireLarCreneauFichier(int32_t defaut)
{
    return IniParam.LireEntier("AXES", "LarCreneau", defaut);
}

std::string ChoisirRepertoire(const std::string& demande, const std::string& repExecutable)
{
    std::string rep;
    if (!demande.empty()) {
        rep = demande;
    } else if (!repExecutable.empty() && ::access(repExecutable.c_str(), W_OK) == 0
        && !EstDossier(AvecSeparateur(repExecutable) + "../share/virmak")) {
        // Portable: the program and its files in one folder. An installed
        // program's bin/ stays clean even when root may write there.
        rep = repExecutable;
    } else {
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        const char* home = std::getenv("HOME");
        if (xdg && *xdg)
            rep = AvecSeparateur(xdg) + "virmak";
        else
            rep = AvecSeparateur(home && *home ? home : "/tmp") + ".config/virmak";
    }
    rep = AvecSeparateur(rep);
    if (!LectureSeule)
        CreerDossiers(rep);
    return rep;
}

double AvanceMaxiVectorielle(int32_t vx, int32_t vy, int32_t vz)
{
    const int32_t v[3] = { vx, vy, vz };
    double somme = 0;
    for (int i = 0; i < 3; ++i) {
        const double mmParMinute = static_cast<double>(static_cast<int64_t>(v[i]) * 60) * ValPas[i];
        somme += mmParMinute * mmParMinute;
    }
    return std::sqrt(somme);
}

void MajCurseurAvance()
{
    const int32_t maxi = Arrondi(AvanceMax);
    Form1.TrackBarVitAv.Frequence = std::max(1, Arrondi(AvanceMax / 10));
    Form1.TrackBarVitAv.DefinirMax(maxi);
    Form1.LabelAvMax.Texte = std::to_string(maxi);
}

void LireConfiguration()
{
    MasquePas[0] = 0x01;
    MasquePas[1] = 0x04;
    MasquePas[2] = 0x10;
    MasquePasDir[0] = 0x03;
    MasquePasDir[1] = 0x0C;
    MasquePasDir[2] = 0x30;
    MasqueBroche = 0x40;
    MasqueHorsPas = 0xEA;
    InitialiserEntreesSorties();

    CoulFond = 0x000000;
    CoulRapide = 0xFF0000;
    CoulContour = 0x00FF00;
    CoulOutil = 0x0000FF;
    CoulAxes = 0xC0C0C0;

    NomProgAffiche = "Programme : Aucun";

    ViderHistoriqueEnAttente();
    const std::string repExecutable = RepExe;
    RepExe = ChoisirRepertoire(RepDemande, RepExe);
    IniParam.Ouvrir(RepExe + "CncParam.Ini", LectureSeule);
    IniOutil.Ouvrir(RepExe + "CncOutil.Ini", LectureSeule);

    NomAide = IniParam.LireChaine("FICHIERS", "NomAide", NomAideDefaut);
    // The first "Charger" opens on the example programs; then on the folder
    // of the last program loaded.
    const std::string exemples = DossierExemples(DossiersAide(RepExe, repExecutable));
    NomRepProg = IniParam.LireChaine("FICHIERS", "NomRepProg", exemples.empty() ? RepExe : exemples);
    if (!LectureSeule)
        IniParam.EcrireChaine("FICHIERS", "Version", TexteVersion);

    LireAxes();
    CreteCir = LireCreteCirFichier();
    AvRap = LireAvRapFichier();
    LarCreneau = LireLarCreneauFichier(60);

    AvanceMax = AvanceMaxMachine();
    MajCurseurAvance();

    CorrAvance = 10;
    Form1.TrackBarTAv.DefinirPosition(10);

    AvertOK = IniParam.LireBooleen("BOOLEAN", "AvertOK", false);
    Simulation = IniParam.LireBooleen("BOOLEAN", "Simulation", true);
    AffRapide = IniParam.LireBooleen("BOOLEAN", "AffRapide", true);
    Debogage = IniParam.LireBooleen("BOOLEAN", "Debogage", true);
    MesAvert = IniParam.LireBooleen("BOOLEAN", "MesAvert", true);
    if (Debogage)
        Simulation = true;
    SuiviPrg = IniParam.LireBooleen("BOOLEAN", "SuiviPrg", true);
    for (int i = 0; i < 3; ++i)
        CompJeu[i] = IniParam.LireBooleen("BOOLEAN", CleIndexee("CompJeu", i), true);
    CalageZ = IniParam.LireBooleen("BOOLEAN", "CalageZ", true);

    MaxLProg = static_cast<uint16_t>(IniParam.LireEntier("GCODES", "MaxLProg", 30000));
    // The tables hold the start block until an analysis sizes them for its
    // program: filling them whole at start cost most of virmak-cli's time.
    const size_t taille = std::min<size_t>(MaxLProg, 1);
    TabProg.assign(taille, LigneProg {});
    TabProgCorr.assign(taille, LigneProg {});
    NbLignesProg = 0;
    NbLignesCorr = 0;

    G83d = IniParam.LireReel("CYCLES", "G83d", 0.2);
    PrgPou = IniParam.LireEntier("GCODES", "PrgPou", 70);
    PrgMet = IniParam.LireEntier("GCODES", "PrgMet", 71);
    CentresRelatifs = IniParam.LireBooleen("GCODES", "CentresRelatifs", false);
    CpuMouvement = IniParam.LireEntier("TEMPS REEL", "Cpu", -1);
}

void ReinitialiserEtatMachine()
{
    for (int i = 0; i < 3; ++i) {
        PosMm[i] = 0;
        PosPas[i] = 0;
        PosAffichee[i] = 0;
        SensAxe[i] = 1;
        ButeeMoins[i] = false;
        ButeePlus[i] = false;
    }
    AxeAffiche = 0;
    AxePrincipal = 0;
    FacteurUnite = 1.0;
    ProgAnalyse = ParcoursCalcule = ArretUrgence = ButeeActivee = BrocheEnMarche = false;
    OctetSortie = 0;
    CycleEnCours = ModePasAPas = StopFinBloc = PasSuivant = false;

    LigneDefaut = LigneProg {};
    LigneDefaut.CodeM.fill(MSlotVide);
    if (!TabProg.empty())
        TabProg[0] = LigneDefaut;

    EchelleApercu = 1.0;
    ZoomApercu = 1.0;
    OrigineApercu[0] = Arrondi(Form1.LargeurImage / 2.0);
    OrigineApercu[1] = Arrondi(Form1.HauteurImage / 2.0);

    Form1.CheckBoxSuiviPrg.Cochee = SuiviPrg;
    Form1.GroupBox5.Texte = NomProgAffiche;
}

void ConstruireIncrements()
{
    Form1.CmbIncrement.Vider();
    NbIncrements = std::clamp(IniParam.LireEntier("INCREMENTS", "NbIncrements", 1), 0, MaxIncrements);
    ValIncrement[0] = 0;
    LibIncrement[0] = "Continu";
    Form1.CmbIncrement.Ajouter("Continu");
    const char separateur = SeparateurDecimalRegional();
    for (int k = 1; k <= NbIncrements; ++k) {
        ValIncrement[k] = IniParam.LireReel("INCREMENTS", CleIndexee("ValIncr", k), 0);
        std::string texte = FormatGeneral(ValIncrement[k]);
        for (char& c : texte)
            if (c == '.')
                c = separateur;
        LibIncrement[k] = texte + " mm";
        Form1.CmbIncrement.Ajouter(LibIncrement[k]);
    }
    for (int k = NbIncrements + 1; k <= MaxIncrements; ++k) {
        ValIncrement[k] = 0;
        LibIncrement[k].clear();
    }
    Form1.CmbIncrement.Selection = 0;
}

void EcrireAxes()
{
    for (int i = 0; i < 3; ++i) {
        IniParam.EcrireEntier("AXES", CleIndexee("AvMax", i), AvMax[i]);
        IniParam.EcrireReel("AXES", CleIndexee("ValPas", i), ValPas[i]);
        IniParam.EcrireEntier("AXES", CleIndexee("NPasJ", i), NPasJ[i]);
    }
    IniParam.EcrireReel("AXES", "CreteCir", CreteCir);
    IniParam.EcrireReel("AXES", "AvRap", AvRap);
    IniParam.EcrireEntier("AXES", "LarCreneau", LarCreneau);
}

void SauveParametres()
{
    IniParam.DebutLot();
    EcrireAxes();
    IniParam.EcrireBooleen("BOOLEAN", "AvertOK", AvertOK);
    IniParam.EcrireBooleen("BOOLEAN", "Simulation", Simulation);
    IniParam.EcrireBooleen("BOOLEAN", "AffRapide", AffRapide);
    IniParam.EcrireBooleen("BOOLEAN", "Debogage", Debogage);
    IniParam.EcrireBooleen("BOOLEAN", "SuiviPrg", SuiviPrg);
    for (int i = 0; i < 3; ++i)
        IniParam.EcrireBooleen("BOOLEAN", CleIndexee("CompJeu", i), CompJeu[i]);
    IniParam.EcrireBooleen("BOOLEAN", "CalageZ", CalageZ);
    IniParam.EcrireChaine("FICHIERS", "NomAide", NomAide);
    IniParam.EcrireChaine("FICHIERS", "NomRepProg", NomRepProg);
    IniParam.EcrireReel("CYCLES", "G83d", G83d);
    IniParam.EcrireEntier("FORM1", "Top", Form1.Top);
    IniParam.EcrireEntier("FORM1", "Left", Form1.Left);
    IniParam.EcrireEntier("FORM1", "Width", Form1.Width);
    IniParam.EcrireEntier("FORM1", "Height", Form1.Height);
    IniParam.FinLot();
}

} // namespace virmak
