#include "pupitre/parametrage.h"

#include "exec/origine.h"
#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/plages_cles.h"
#include "foundation/vue.h"
#include "machine/planificateur.h"
#include "machine/temporisation.h"
#include "pupitre/page_entrees_sorties.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

namespace virmak {

FenetreParametres Form3;

const char* const NomChamp[NbChamps]
    = { "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "EditCrete", "EditAvMX", "EditAvMY", "EditAvMZ",
          "EditMX", "EditMY", "EditMZ", "EditCreneau", "EditVitRechX", "EditVitRechY", "EditVitRechZ",
          "EditSensRechX", "EditSensRechY", "EditSensRechZ", "EditOrigineX", "EditOrigineY", "EditOrigineZ",
          "EditOrdreRech", "EditVitPalp", "EditCoursePalp", "EditCale", "EditRetraitPalp", "EditAccelX",
          "EditAccelY", "EditAccelZ", "EditVitRampeX", "EditVitRampeY", "EditVitRampeZ" };

const char* const TitrePage[NbPages]
    = { "Axes", "Vitesses", "Entrées / Sorties", "Tests", "Origine / Palpeur" };

namespace {

    // How the messages name each field.
    const char* const LibelleChamp[NbChamps] = { "Pas par mm en X", "Pas par mm en Y", "Pas par mm en Z",
        "Jeu en X (mm)", "Jeu en Y (mm)", "Jeu en Z (mm)", "Crète maxi des facettes (mm)",
        "Avance maxi en pas/seconde pour X", "Avance maxi en pas/seconde pour Y",
        "Avance maxi en pas/seconde pour Z", "Avance maxi en mm/mn pour X", "Avance maxi en mm/mn pour Y",
        "Avance maxi en mm/mn pour Z", "Augmentation de la durée d'impulsion (µs)",
        "Vitesse de recherche en X (mm/mn)", "Vitesse de recherche en Y (mm/mn)",
        "Vitesse de recherche en Z (mm/mn)", "Côté de la butée X", "Côté de la butée Y", "Côté de la butée Z",
        "Origine machine en X (mm)", "Origine machine en Y (mm)", "Origine machine en Z (mm)",
        "Ordre de prise d'origine", "Vitesse de palpage (mm/mn)", "Course maxi de palpage (mm)",
        "Epaisseur de la cale (mm)", "Dégagement après palpage (mm)", "Accélération en pas/s² pour X",
        "Accélération en pas/s² pour Y", "Accélération en pas/s² pour Z",
        "Vitesse avec rampe en pas/seconde pour X", "Vitesse avec rampe en pas/seconde pour Y",
        "Vitesse avec rampe en pas/seconde pour Z" };

    // The decimals each field is written with, and its messages too.
    const int DecimalesChamp[NbChamps] = { 4, 4, 4, 4, 4, 4, 5, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 3, 3,
        3, 0, 1, 3, 3, 3, 0, 0, 0, 0, 0, 0 };

    // A bound of a field's range as the field writes numbers, rounded
    // inwards so that every number the message offers is taken.
    std::string Borne(double valeur, int decimales, bool basse)
    {
        const double echelle = std::pow(10.0, decimales);
        // A hair of tolerance, so that 0.1 written as 0.1000000001 stays 0.1.
        const double pas = valeur * echelle;
        const double arrondi = (basse ? std::ceil(pas - 1e-6) : std::floor(pas + 1e-6)) / echelle;
        return FormatGeneral(arrondi + 0.0); // never "-0"
    }

    const char* const DesignPas[3] = { "400", "400", "400" };
    const char* const DesignJeu[3] = { "0.05", "0.02", "0.1" };
    const char* const TexteCaseJeu[4]
        = { "Compensation jeu X", "Compensation jeu Y", "Compensation jeu Z", "Soutiens de la gravité en Z" };

    const PlageCle& Plage(const char* cle)
    {
        return *PlageDe("AXES", cle);
    }

    std::string& Texte(int champ)
    {
        return Form3.Champs[champ].Texte;
    }

    void Modifie()
    {
        PageES.BitBtnRestore.Actif = true;
        PageES.BitBtnAppli.Actif = true;
    }

    void Inchange()
    {
        PageES.BitBtnRestore.Actif = false;
        PageES.BitBtnAppli.Actif = false;
    }

    std::string AvanceMm(int axe)
    {
        return std::to_string(Arrondi(ValPas[axe] * 60 * AvMax[axe]));
    }

    // The field's number when it lies in [min, max]; otherwise the operator
    // is told which field and what it holds, and there is none.
    std::optional<double> Lire(int champ, double min, double max, bool absolu = false)
    {
        const std::optional<double> v = LireReelTexte(Texte(champ));
        if (v) {
            const double mesure = absolu ? std::abs(*v) : *v;
            if (mesure >= min && mesure <= max)
                return v;
        }
        const int d = DecimalesChamp[champ];
        VueActive().Message(std::string(LibelleChamp[champ]) + " : '" + Texte(champ)
            + "' n'est pas une valeur correcte (de " + Borne(min, d, true) + " à " + Borne(max, d, false)
            + ").");
        return std::nullopt;
    }

    // What the save would take from the fields, checked before anything
    // changes.
    struct Saisie {
        double ValPas[3];
        int32_t NPasJ[3];
        double CreteCir;
        int32_t LarCreneau;
        double VitesseRecherche[3];
        int32_t SensRecherche[3];
        double OrigineMachine[3];
        std::string OrdreRecherche;
        double Palpeur[4]; // speed, travel, plate, lift
        int32_t Rampe[2][3]; // Acceleration, VitesseRampe
    };

    // The fields of the page "Origine / Palpeur" that hold one number each,
    // with their keys.
    constexpr struct {
        int champ;
        const char* cle;
    } ChampsPalpeur[4] = { { ChampVitPalp, "VitessePalpage" }, { ChampCoursePalp, "CoursePalpage" },
        { ChampCale, "EpaisseurCale" }, { ChampRetrait, "RetraitPalpage" } };

    double* const ValeursPalpeur[4] = { &VitessePalpage, &CoursePalpage, &EpaisseurCale, &RetraitPalpage };

    // The ramp fields of the three axes, with their keys and globals.
    const struct {
        int champ;
        const char* cle;
        int32_t* globale;
    } ChampsRampe[2] = { { ChampAcceleration, "Acceleration", Acceleration },
        { ChampVitRampe, "VitesseRampe", VitesseRampe } };

    // A field read into `valeur` within the range of its key: false when
    // refused.
    bool LireCle(int champ, const char* cle, double& valeur)
    {
        const PlageCle& p = Plage(cle);
        const std::optional<double> v = Lire(champ, p.min, p.max);
        if (v)
            valeur = *v;
        return v.has_value();
    }

    bool LireSaisieOrigine(Saisie& s)
    {
        for (int i = 0; i < 3; ++i)
            if (!LireCle(ChampVitRech + i, "VitesseRecherche", s.VitesseRecherche[i]))
                return false;
        for (int i = 0; i < 3; ++i) {
            const std::optional<int32_t> sens = LireEntierTexte(Texte(ChampSensRech + i));
            if (!sens || (*sens != 1 && *sens != -1)) {
                VueActive().Message(std::string(LibelleChamp[ChampSensRech + i]) + " : '"
                    + Texte(ChampSensRech + i)
                    + "' n'est pas une valeur correcte (-1 : butée côté moins, 1 : côté plus).");
                return false;
            }
            s.SensRecherche[i] = *sens;
        }
        for (int i = 0; i < 3; ++i)
            if (!LireCle(ChampOrigine + i, "OrigineMachine", s.OrigineMachine[i]))
                return false;
        s.OrdreRecherche = Texte(ChampOrdre);
        std::erase(s.OrdreRecherche, ' ');
        for (char& c : s.OrdreRecherche)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!OrdreRechercheValide(s.OrdreRecherche)) {
            VueActive().Message(std::string(LibelleChamp[ChampOrdre]) + " : '" + Texte(ChampOrdre)
                + "' n'est pas une valeur correcte (les lettres X, Y, Z, chacune une fois au plus, par "
                  "exemple ZXY).");
            return false;
        }
        for (int k = 0; k < 4; ++k)
            if (!LireCle(ChampsPalpeur[k].champ, ChampsPalpeur[k].cle, s.Palpeur[k]))
                return false;
        return true;
    }

    // A braking distance as the operator reads it: "2,34".
    std::string Millimetres(double mm)
    {
        std::string texte = FormatFixe(mm, 0, 2);
        std::replace(texte.begin(), texte.end(), '.', ',');
        return texte;
    }

    // What the machine does now: the globals, not the fields being typed.
    void MontrerRampes()
    {
        for (int i = 0; i < 3; ++i)
            Form3.LabelRampe[i].Texte
                = RampeAxe(i) ? TexteFreinage + Millimetres(DistanceFreinage(i)) + " mm" : TexteSansRampe;
    }

    void MontrerOrigine()
    {
        for (int i = 0; i < 3; ++i) {
            Texte(ChampVitRech + i) = FormatGeneral(VitesseRecherche[i]);
            Texte(ChampSensRech + i) = std::to_string(SensRecherche[i]);
            Texte(ChampOrigine + i) = FormatFixe(OrigineMachine[i], 0, 3);
        }
        Texte(ChampOrdre) = OrdreRecherche;
        for (int k = 0; k < 4; ++k)
            Texte(ChampsPalpeur[k].champ) = FormatGeneral(*ValeursPalpeur[k]);
    }

    std::optional<Saisie> LireSaisie()
    {
        Saisie s {};
        const PlageCle& pas = Plage("ValPas");
        const PlageCle& jeu = Plage("NPasJ");
        for (int i = 0; i < 3; ++i) {
            const std::optional<double> parMm = Lire(ChampPas + i, 1 / pas.max, 1 / pas.min);
            if (!parMm)
                return std::nullopt;
            s.ValPas[i] = 1 / *parMm;
        }
        for (int i = 0; i < 3; ++i) {
            const std::optional<double> mm = Lire(ChampJeu + i, jeu.min * s.ValPas[i], jeu.max * s.ValPas[i]);
            if (!mm)
                return std::nullopt;
            s.NPasJ[i] = Arrondi(*mm / s.ValPas[i]);
        }
        const PlageCle& crete = Plage("CreteCir");
        const std::optional<double> facette = Lire(ChampCrete, crete.min, crete.max, true);
        if (!facette)
            return std::nullopt;
        s.CreteCir = std::abs(*facette);
        const PlageCle& creneau = Plage("LarCreneau");
        const std::optional<double> duree = Lire(ChampCreneau, creneau.min, creneau.max);
        if (!duree)
            return std::nullopt;
        s.LarCreneau = Arrondi(*duree);
        for (int k = 0; k < 2; ++k)
            for (int i = 0; i < 3; ++i) {
                double v;
                if (!LireCle(ChampsRampe[k].champ + i, ChampsRampe[k].cle, v))
                    return std::nullopt;
                s.Rampe[k][i] = Arrondi(v);
            }
        if (!LireSaisieOrigine(s))
            return std::nullopt;
        return s;
    }

    // The backlash of an axis in steps, from its two fields as they are
    // typed: the steps per mm too may not be applied yet. Computed as the
    // save computes it; left as it is while a field holds no number.
    void MontrerPasJeu(int axe)
    {
        const std::optional<double> mm = LireReelTexte(Texte(ChampJeu + axe));
        const std::optional<double> parMm = LireReelTexte(Texte(ChampPas + axe));
        if (!mm || !parMm || !(*parMm > 0))
            return;
        const double pas = *mm / (1 / *parMm);
        if (std::abs(pas) <= PasMaxi)
            Form3.LabelJeu[axe].Texte = std::to_string(Arrondi(pas));
    }

    void MontrerCases()
    {
        for (int i = 0; i < 3; ++i)
            Form3.CheckBoxJeu[i].Cochee = CompJeu[i];
        Form3.CheckBoxJeu[3].Cochee = CalageZ;
        Form3.CheckBoxMach.Cochee = Simulation;
        Form3.CheckBoxAffRap.Cochee = AffRapide;
    }

    // Both window events that read the file again.
    void Relire()
    {
        RestaureParametres();
        LireParamEntreeSortie();
        UpdatePageEntreeSortie();
        Inchange();
    }

    void Montrer(int page, const char* focus)
    {
        FenetreParametres& f = Form3;
        if (!f.Visible) {
            f.Visible = true;
            f.FormShow();
            f.FormActivate();
        }
        f.ActivePage = page;
        VueActive().Repeindre("Form3");
        if (focus)
            VueActive().DonnerFocus(focus);
    }

} // namespace

FenetreParametres::FenetreParametres()
{
    for (int i = 0; i < 3; ++i) {
        Champs[ChampPas + i].Texte = DesignPas[i];
        Champs[ChampJeu + i].Texte = DesignJeu[i];
        Champs[ChampAvM + i].Texte = "1000";
        Champs[ChampM + i].Texte = "150";
        Champs[ChampAcceleration + i].Texte = Champs[ChampVitRampe + i].Texte = "0";
        LabelRampe[i].Texte = TexteSansRampe;
    }
    Champs[ChampCrete].Texte = "0.005";
    Champs[ChampCreneau].Texte = "10";
    for (int i = 0; i < 4; ++i)
        CheckBoxJeu[i].Texte = TexteCaseJeu[i];
    TrackBarRap.Min = 1;
    TrackBarRap.Max = 100;
    TrackBarRap.Frequence = 10;
    TrackBarRap.Position = 80;
    TrackBarRap.SurChangement = TrackBarRapChange;
    LabelRap.Texte = "80 %";
    CheckBoxMach.Texte = "Mode simulation = vitesse non régulée";
    CheckBoxAffRap.Texte = "Accélération affichage position (risque d'instabilité sous XP, NT, 2000)";
}

void CreerDialogueParametres()
{
    Form3 = FenetreParametres {};
    PageES.Initialiser();
    RestaureParametres();
    Inchange();
}

void RestaureParametres()
{
    FenetreParametres& f = Form3;
    for (int i = 0; i < 3; ++i)
        AvMax[i] = LireAvMaxFichier(i);
    CreteCir = LireCreteCirFichier();
    AvRap = LireAvRapFichier();
    LarCreneau = LireLarCreneauFichier(10);
    CalculerBouclesCreneau();

    for (int i = 0; i < 3; ++i) {
        Texte(ChampPas + i) = FormatFixe(1 / ValPas[i], 8, 4);
        f.LabelJeu[i].Texte = std::to_string(NPasJ[i]);
        Texte(ChampJeu + i) = FormatFixe(NPasJ[i] * ValPas[i], 8, 4);
    }
    Texte(ChampCrete) = FormatFixe(CreteCir, 8, 5);

    for (int i = 0; i < 3; ++i)
        CompJeu[i] = IniParam.LireBooleen("BOOLEAN", CleIndexee("CompJeu", i), true);
    CalageZ = IniParam.LireBooleen("BOOLEAN", "CalageZ", true);

    for (int i = 0; i < 3; ++i) {
        Texte(ChampAvM + i) = std::to_string(AvMax[i]);
        Texte(ChampM + i) = AvanceMm(i);
        for (const auto& r : ChampsRampe)
            Texte(r.champ + i) = std::to_string(r.globale[i]);
    }
    MontrerRampes();
    f.TrackBarRap.DefinirPosition(Arrondi(AvRap * 100));

    Simulation = IniParam.LireBooleen("BOOLEAN", "Simulation", true);
    AffRapide = IniParam.LireBooleen("BOOLEAN", "AffRapide", true);
    Texte(ChampCreneau) = std::to_string(LarCreneau);
    LireParamOrigine();
    MontrerOrigine();

    AvanceMax = AvanceMaxMachine();
    MajCurseurAvance();

    MontrerCases();
}

bool SauvegardeParametres()
{
    FenetreParametres& f = Form3;
    const std::optional<Saisie> s = LireSaisie();
    if (!s)
        return false;

    for (int i = 0; i < 3; ++i)
        ValPas[i] = s->ValPas[i];
    CreteCir = s->CreteCir;
    for (int i = 0; i < 3; ++i) {
        NPasJ[i] = s->NPasJ[i];
        f.LabelJeu[i].Texte = std::to_string(NPasJ[i]);
    }
    // One rewrite of the file for the whole save, keys in their order.
    IniParam.DebutLot();
    for (int i = 0; i < 3; ++i)
        IniParam.EcrireBooleen("BOOLEAN", CleIndexee("CompJeu", i), CompJeu[i]);
    IniParam.EcrireBooleen("BOOLEAN", "CalageZ", CalageZ);
    AvRap = f.TrackBarRap.Position / 100.0;
    LarCreneau = s->LarCreneau;
    CalculerBouclesCreneau();
    EcrireAxes();
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 3; ++i) {
            ChampsRampe[k].globale[i] = s->Rampe[k][i];
            // A file that never had ramps stays as it was while they stay off.
            const std::string cle = CleIndexee(ChampsRampe[k].cle, i);
            if (s->Rampe[k][i] != 0 || IniParam.CleExiste("AXES", cle))
                IniParam.EcrireEntier("AXES", cle, s->Rampe[k][i]);
        }
    IniParam.EcrireBooleen("BOOLEAN", "Simulation", Simulation);
    IniParam.EcrireBooleen("BOOLEAN", "AffRapide", AffRapide);
    IniParam.EcrireBooleen("BOOLEAN", "MesAvert", MesAvert);
    for (int i = 0; i < 3; ++i) {
        VitesseRecherche[i] = s->VitesseRecherche[i];
        SensRecherche[i] = s->SensRecherche[i];
        OrigineMachine[i] = s->OrigineMachine[i];
    }
    OrdreRecherche = s->OrdreRecherche;
    for (int k = 0; k < 4; ++k)
        *ValeursPalpeur[k] = s->Palpeur[k];
    EcrireParamOrigine();
    MontrerOrigine();
    IniParam.FinLot();

    AvanceMax = AvanceMaxMachine();
    MajCurseurAvance();
    MontrerRampes();
    return true;
}

void EditChange(int champ, const std::string& texte)
{
    VERIFIER_FIL_MACHINE();
    if (champ < 0 || champ >= NbChamps)
        return;
    Texte(champ) = texte;
    if (champ < ChampCrete)
        MontrerPasJeu(champ % 3);
    Modifie();
}

void EditAvMExit(int tag)
{
    VERIFIER_FIL_MACHINE();
    if (tag < 1 || tag > 6) {
        VueActive().Message(TexteErreurTag);
        return;
    }
    const PlageCle& plage = Plage("AvMax");
    const int axe = (tag - 1) % 3;
    std::optional<int32_t> avMax;
    if (tag <= 3) {
        const int champ = ChampAvM + axe;
        const std::optional<int32_t> n = LireEntierTexte(Texte(champ));
        if (!n) {
            VueActive().Message("'" + Texte(champ) + "' n'est pas une valeur entière correcte");
            return;
        }
        if (Lire(champ, plage.min, plage.max))
            avMax = *n;
    } else {
        const int champ = ChampM + axe;
        const std::optional<double> mm = LireReelTexte(Texte(champ));
        if (!mm) {
            VueActive().Message("'" + Texte(champ) + "' n'est pas une valeur en virgule flottante correcte");
            return;
        }
        const double parMinute = ValPas[axe] * 60;
        if (Lire(champ, plage.min * parMinute, plage.max * parMinute))
            avMax = Arrondi(*mm / parMinute);
    }
    if (!avMax)
        return;
    AvMax[axe] = *avMax;
    Texte(ChampAvM + axe) = std::to_string(AvMax[axe]);
    Texte(ChampM + axe) = AvanceMm(axe);
    MontrerRampes();
}

void EditAvMKeyPress(int tag)
{
    EditAvMExit(tag);
}

void EditJeuExit(int axe)
{
    VERIFIER_FIL_MACHINE();
    if (axe < 0 || axe > 2)
        return;
    // The label only previews: NPasJ changes on saving.
    MontrerPasJeu(axe);
}

void CheckBoxJeuClick(int tag, bool cochee)
{
    VERIFIER_FIL_MACHINE();
    if (tag < 0 || tag > 3)
        return;
    Form3.CheckBoxJeu[tag].Cochee = cochee;
    (tag < 3 ? CompJeu[tag] : CalageZ) = cochee;
    Modifie();
}

double PasParMm(double pasParTour, double microPas, double mmParTour)
{
    if (!(pasParTour > 0) || !(microPas > 0) || !(mmParTour > 0))
        return 0;
    const double r = pasParTour * microPas / mmParTour;
    return std::isfinite(r) ? r : 0;
}

void CalculPasParMmClick(int axe, double pasParMm)
{
    VERIFIER_FIL_MACHINE();
    if (axe < 0 || axe > 2 || !(pasParMm > 0) || !std::isfinite(pasParMm))
        return;
    EditChange(ChampPas + axe, FormatFixe(pasParMm, 8, 4));
}

void CheckBoxMachClick(bool cochee)
{
    VERIFIER_FIL_MACHINE();
    Form3.CheckBoxMach.Cochee = Simulation = cochee;
    Modifie();
}

void CheckBoxAffRapClick(bool cochee)
{
    VERIFIER_FIL_MACHINE();
    Form3.CheckBoxAffRap.Cochee = AffRapide = cochee;
    Modifie();
}

void TrackBarRapChange()
{
    Form3.LabelRap.Texte = std::to_string(Form3.TrackBarRap.Position) + " %";
    Modifie();
}

void BtnAideClick(int tag)
{
    VueActive().Aide(1000 + tag);
}

void PageControlChange(int page)
{
    VERIFIER_FIL_MACHINE();
    if (page >= 0 && page < NbPages && page != OngletTests)
        Form3.ActivePage = page;
}

void BitBtnOKClick()
{
    VERIFIER_FIL_MACHINE();
    if (!SauvegardeParametres())
        return;
    EcrireParamEntreeSortie();
    Form3.DialogueFermable = true;
    Form3.FormHide();
}

void BitBtnAppliClick()
{
    VERIFIER_FIL_MACHINE();
    if (!SauvegardeParametres())
        return;
    EcrireParamEntreeSortie();
    Inchange();
}

void BitBtnRestoreClick()
{
    VERIFIER_FIL_MACHINE();
    Relire();
}

void BitBtnAnnulerClick()
{
    VERIFIER_FIL_MACHINE();
    RestaureParametres();
    LireParamEntreeSortie();
    Form3.DialogueFermable = true;
    Form3.FormHide();
}

void FenetreParametres::FormShow()
{
    RestaureParametres();
}

void FenetreParametres::FormActivate()
{
    VERIFIER_FIL_MACHINE();
    if (!Visible)
        return;
    Relire();
    DialogueFermable = false;
}

void FenetreParametres::FormCloseQuery()
{
    VERIFIER_FIL_MACHINE();
    if (DialogueFermable)
        FormHide();
}

void FenetreParametres::FormHide()
{
    Visible = false;
    Form1.Actif = true;
}

void Jeux1Click()
{
    VERIFIER_FIL_MACHINE();
    Montrer(OngletAxes, NomChamp[ChampPas]);
}

void Vitesses1Click()
{
    VERIFIER_FIL_MACHINE();
    Montrer(OngletVitesses, NomChamp[ChampAvM]);
}

void EntresSorties1Click()
{
    VERIFIER_FIL_MACHINE();
    Montrer(OngletEntreesSorties, nullptr);
}

void OriginePalpeur1Click()
{
    VERIFIER_FIL_MACHINE();
    Montrer(OngletOrigine, NomChamp[ChampVitRech]);
}

} // namespace virmak
