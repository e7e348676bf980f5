#include "foundation/pupitre.h"

#include "foundation/vue.h"

#include <algorithm>
#include <atomic>

namespace virmak {

Pupitre Form1;

void Curseur::DefinirPosition(int position)
{
    position = std::clamp(position, Min, std::max(Min, Max));
    if (position == Position)
        return;
    Position = position;
    if (SurChangement)
        SurChangement();
}

void Curseur::DefinirMin(int min)
{
    Min = min;
    if (Max < Min)
        Max = Min;
    DefinirPosition(Position);
}

void Curseur::DefinirMax(int max)
{
    Max = max;
    if (Min > Max)
        Min = Max;
    DefinirPosition(Position);
}

namespace {

    // One count for every list, of every thread: a number is never given
    // twice, not even to a list made anew.
    std::atomic<uint64_t> derniereRevision { 0 };

    uint64_t NouvelleRevision()
    {
        return derniereRevision.fetch_add(1, std::memory_order_relaxed) + 1;
    }

} // namespace

LignesRevisees::LignesRevisees()
{
    Refondre();
}

LignesRevisees::LignesRevisees(const LignesRevisees& autre)
    : lignes_(autre.lignes_)
{
    Refondre();
}

LignesRevisees::LignesRevisees(LignesRevisees&& autre) noexcept
    : lignes_(std::move(autre.lignes_))
    , revision_(autre.revision_)
    , refonte_(autre.refonte_)
{
    autre.Vider();
}

LignesRevisees& LignesRevisees::operator=(const LignesRevisees& autre)
{
    if (this != &autre) {
        lignes_ = autre.lignes_;
        Refondre();
    }
    return *this;
}

LignesRevisees& LignesRevisees::operator=(LignesRevisees&& autre) noexcept
{
    if (this != &autre) {
        lignes_ = std::move(autre.lignes_);
        revision_ = autre.revision_;
        refonte_ = autre.refonte_;
        autre.Vider();
    }
    return *this;
}

LignesRevisees& LignesRevisees::operator=(std::initializer_list<std::string> lignes)
{
    return *this = std::vector<std::string>(lignes);
}

LignesRevisees& LignesRevisees::operator=(std::vector<std::string> lignes)
{
    lignes_ = std::move(lignes);
    Refondre();
    return *this;
}

void LignesRevisees::Refondre()
{
    revision_ = refonte_ = NouvelleRevision();
}

void LignesRevisees::Remplacer(size_t i, std::string ligne)
{
    if (i >= lignes_.size())
        return;
    lignes_[i] = std::move(ligne);
    Refondre();
}

void LignesRevisees::Inserer(size_t i, std::string ligne)
{
    lignes_.insert(
        lignes_.begin() + static_cast<std::ptrdiff_t>(std::min(i, lignes_.size())), std::move(ligne));
    Refondre();
}

void LignesRevisees::Supprimer(size_t i)
{
    if (i >= lignes_.size())
        return;
    lignes_.erase(lignes_.begin() + static_cast<std::ptrdiff_t>(i));
    Refondre();
}

void LignesRevisees::Ajouter(std::string ligne)
{
    lignes_.push_back(std::move(ligne));
    revision_ = NouvelleRevision();
}

void LignesRevisees::Vider()
{
    lignes_.clear();
    Refondre();
}

void Liste::Vider()
{
    Lignes.Vider();
    Selection = -1;
}

void Liste::Ajouter(std::string ligne)
{
    Lignes.Ajouter(std::move(ligne));
}

void Pupitre::Initialiser()
{
    *this = Pupitre {};
    Caption = "VIRMAK Version 2.03";

    StaticTextX.Conseil = StaticTextY.Conseil = StaticTextZ.Conseil = "Click pour modifier";
    EditX.Conseil = "Saisir la position X pour modifier l'origine";
    EditY.Conseil = "Saisir la position Y pour modifier l'origine";
    EditZ.Conseil = "Saisir la position Z pour modifier l'origine";
    for (Controle* c : { &Raz_X, &Raz_Y, &Raz_Z })
        c->Texte = "RAZ";
    Raz_X.Conseil = "Remise à zéro de la visue X";
    Raz_Y.Conseil = "Remise à zéro de la visue Y";
    Raz_Z.Conseil = "Remise à zéro de la visue Z";

    XPlus.Texte = "X+";
    XMoins.Texte = "X-";
    YPlus.Texte = "Y+";
    YMoins.Texte = "Y-";
    ZPlus.Texte = "Z+";
    ZMoins.Texte = "Z-";
    for (Controle* c : { &XPlus, &XMoins, &YPlus, &YMoins, &ZPlus, &ZMoins })
        c->Conseil = "B.G. Continu\r\nB.D. Pas/Pas";
    BtBroche.Texte = "Broche";
    BtBroche.Conseil = "Marche / Arrêt de la broche.";
    XY_Zero.Texte = "0,0";
    XY_Zero.Conseil = "Retour à X=0 et Y=0";
    Z_Zero.Texte = "Z0";
    Z_Zero.Conseil = "Retour à Z=0";
    BtOrigine.Texte = "Origine";
    BtOrigine.Conseil = "Prise d'origine sur les butées des axes.";
    BtPalpage.Texte = "Palpage Z";
    BtPalpage.Conseil = "Hauteur de l'outil sur la cale du palpeur outil.";

    EditVitAv.Texte = "200";
    EditVitAv.Conseil = "Saisir la vitesse F";
    TrackBarVitAv.Min = 0;
    TrackBarVitAv.Max = 1000;
    TrackBarVitAv.Position = 200;
    TrackBarVitAv.Frequence = 100;
    TrackBarVitAv.Conseil = "Réglage de la vitesse d'avance F";
    TrackBarTAv.Min = 1;
    TrackBarTAv.Max = 12;
    TrackBarTAv.Position = 10;
    TrackBarTAv.Frequence = 1;
    TrackBarTAv.Conseil = "Correction de vitesse de 10% à 120%";
    LabelTAv.Texte = "100%";

    EditGoX.Texte = EditGoY.Texte = EditGoZ.Texte = "0.000";
    GoXYZ.Texte = "Aller à";
    GoXYZ.Conseil = "Aller à la position X,Y,Z saisie ci-contre.";
    MesRaz.Texte = "RAZ";
    MesRaz.Conseil = "Effacement des messages machine.";

    BitBtnPiece.Texte = "Pièce";
    BitBtnPiece.Conseil = "Dessin du contour pièce.";
    BitBtnParcoursOutil.Texte = "Outil";
    BitBtnParcoursOutil.Conseil = "Dessin du parcours outil";
    BitBtnZoomPlus.Texte = "+";
    BitBtnZoomMoins.Texte = "-";
    BitBtnDecXMoins.Texte = "←";
    BitBtnDEcXPlus.Texte = "→";
    BitBtnDecYMoins.Texte = "↓";
    BitBtnDecYPlus.Texte = "↑";
    CheckBoxOT.Texte = "OT";

    GroupBox5.Texte = "Programme";
    ListBoxProg1.Lignes = { "Aucun programme en mémoire.", "", "Cliquez sur le bouton \"Charger\"" };
    BitBtnCharger.Texte = "Charger";
    BitBtnCharger.Conseil = "Charger un programme en code ISO";
    BitBtnEnregistrer.Texte = "Sauver";
    BitBtnEnregistrer.Conseil = "Sauvegarde du programme ISO et de son code machine MCH";
    BitBtnCycle.Texte = "Cycle";
    BitBtnCycle.Conseil = "Exécution en continu de tout le programme.";
    BitBtnPasPas.Texte = "Pas à Pas";
    BitBtnPasPas.Conseil = "Exécution du programme en mode pas à pas.";
    BitBtnBloc.Texte = "Arrêt bloc";
    BitBtnBloc.Conseil = "Pause à la fin du bloc en cours\r\nReprise par CYCLE ou PAS A PAS";
    BitBtnPause.Texte = "Pause";
    BitBtnPause.Conseil = "Fin du bloc en cours, outil dégagé et broche arrêtée\r\nReprise par CYCLE";
    BoutonArret.Texte = "URGENCE";
    BoutonArret.Conseil = "ARRET d'URGENGE\r\ndéverrouillage par\r\nRAZ Messages";
    LabelGaugeProg.Texte = "Etat prog";
    CheckBoxSuiviPrg.Texte = "Suivi du programme pendant l'exécution";
    PanelInfo.Texte = " Informations déroulement du programme";

    Timer1.Actif = false;
    Timer1.Intervalle = 250;
}

ProgressionJauge::ProgressionJauge(int maximum, const char* libelle)
{
    Form1.GaugeProg.Max = maximum;
    Form1.GaugeProg.Progression = 0;
    Form1.GaugeProg.Visible = true;
    Form1.LabelGaugeProg.Texte = libelle;
    VueActive().Repeindre("LabelGaugeProg");
    VueActive().Repeindre("GaugeProg");
}

void ProgressionJauge::Avancer(int position)
{
    Form1.GaugeProg.Progression = position;
    const int max = Form1.GaugeProg.Max;
    const int pourcent = max > 0 ? static_cast<int>(static_cast<int64_t>(position) * 100 / max) : 100;
    if (pourcent != dernier_) {
        dernier_ = pourcent;
        VueActive().Repeindre("GaugeProg");
    }
}

ProgressionJauge::~ProgressionJauge()
{
    Form1.GaugeProg.Progression = 0;
    Form1.GaugeProg.Visible = false;
    Form1.LabelGaugeProg.Texte.clear();
    VueActive().Repeindre("GaugeProg");
    VueActive().Repeindre("LabelGaugeProg");
}

void DefinirMesEtat(const std::string& texte)
{
    Form1.MesEtat.Texte = texte;
    VueActive().Repeindre("MesEtat");
}

} // namespace virmak
