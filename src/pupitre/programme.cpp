#include "pupitre/programme.h"

#include "apercu/cn_dessins.h"
#include "foundation/cn_historique.h"
#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/pupitre.h"
#include "foundation/texte.h"
#include "foundation/vue.h"
#include "iso/cn_outils.h"
#include "iso/correction_outils.h"
#include "iso/courses.h"
#include "iso/traite_prog.h"
#include "pupitre/editeur.h"

#include <cstdlib>
#include <unistd.h>

namespace virmak {

namespace {

    constexpr const char* TitreOuverture = "Charger un programme";

    std::string RepertoireDe(const std::string& chemin)
    {
        const size_t barre = chemin.rfind('/');
        return barre == std::string::npos ? std::string() : chemin.substr(0, barre + 1);
    }

} // namespace

void RedessinerApercu()
{
    DessinePiece();
    if (ParcoursCalcule)
        DessineParcours();
}

bool OuvrirProgramme(const std::string& chemin, LecteurLignes& lignes, std::string& erreur)
{
    const Lecture lecture = lignes.Ouvrir(chemin);
    if (lecture != Lecture::Ok) {
        erreur = MessageLecture(chemin, lecture);
        return false;
    }
    if (lignes.ContientNul()) {
        erreur = "Le fichier " + chemin
            + " n'est pas un programme ISO (il contient des octets nuls) : il n'est pas chargé.";
        return false;
    }
    return true;
}

bool LireProgramme(const std::string& chemin, std::vector<std::string>& lignes, std::string& erreur)
{
    LecteurLignes lecteur;
    if (!OuvrirProgramme(chemin, lecteur, erreur))
        return false;
    std::vector<std::string> lues;
    lues.reserve(lecteur.Nombre());
    for (std::string_view ligne; lecteur.Suivante(ligne);)
        lues.emplace_back(ligne);
    if (lecteur.Etat() != Lecture::Ok) {
        erreur = MessageLecture(chemin, lecteur.Etat());
        return false;
    }
    lignes = std::move(lues);
    return true;
}

bool ChargerProgramme(const std::string& chemin)
{
    std::vector<std::string> lignes;
    std::string erreur;
    if (!LireProgramme(chemin, lignes, erreur)) {
        VueActive().Message(erreur);
        return false;
    }
    NomRepProg = RepertoireDe(chemin);
    NomProgAffiche = NomPourAffichage(chemin);
    Form1.GroupBox5.Texte = "Programme : " + NomProgAffiche;
    Form1.ListBoxProg1.Vider();
    Form1.ListBoxProg1.Lignes = std::move(lignes);
    MsgHistorique("Chargement du programme \"" + chemin + "\".");
    if (!TabProg.empty())
        TabProg[0] = LigneDefaut;
    NbLignesProg = 0;
    AnnulerCorDyn();
    InvaliderProgramme();
    VueActive().TraiterMessages();
    RedessinerApercu();
    // Told at once, before the operator sets up the part; the run checks
    // again from the origin it will have then.
    if (ProgAnalyse && CorrectionOutils()) {
        const std::string refus = ControleCourses();
        if (!refus.empty())
            VueActive().Message(
                refus + " Le cycle sera refusé tant que l'origine ou la course ne changent pas.");
    }
    // A program the analysis refused has nothing to run and no listing.
    for (Controle* c : { &Form1.BitBtnCycle, &Form1.BitBtnPasPas, &Form1.BitBtnEnregistrer, &Form1.BitBtnBloc,
             &Form1.BitBtnPause })
        c->Actif = ProgAnalyse;
    return true;
}

void BitBtnChargerClick()
{
    VERIFIER_FIL_MACHINE();
    const std::string chemin = VueActive().DialogueOuvrir(
        TitreOuverture, { FiltreProgrammes, "Tous les fichiers (*)|*" }, 0, NomRepProg);
    if (!chemin.empty())
        ChargerProgramme(chemin);
}

bool SauverProgramme(const std::string& nom)
{
    // The listing describes the list as saved, so it follows the same text;
    // a list that cannot be analysed is not saved half.
    RedessinerApercu();
    if (!ProgAnalyse) {
        VueActive().Message("Le programme n'a pas pu être analysé : il n'est pas enregistré.");
        return false;
    }
    std::string programme;
    for (const std::string& ligne : Form1.ListBoxProg1.Lignes)
        programme += ligne + "\r\n";
    const std::string cheminIso = nom + ".ISO";
    if (!EcrireFichierAtomique(cheminIso, programme)) {
        VueActive().Message("Impossible d'écrire dans " + cheminIso);
        return false;
    }
    const std::string cheminMch = nom + ".MCH";
    if (!EcrireFichierAtomique(cheminMch, Listing())) {
        VueActive().Message("Impossible d'écrire dans " + cheminMch);
        return false;
    }
    return true;
}

void BitBtnEnregistrerClick()
{
    VERIFIER_FIL_MACHINE();
    // The installed examples are read-only: a copy goes home.
    std::string repertoire = NomRepProg;
    const char* maison = std::getenv("HOME");
    if (::access(NomRepProg.c_str(), W_OK) != 0 && maison && *maison) {
        repertoire = maison;
        if (repertoire.back() != '/')
            repertoire += '/';
    }
    const std::string nom = VueActive().DialogueSauver(repertoire);
    if (!nom.empty())
        SauverProgramme(nom);
}

void ListBoxProg1Click(int rang)
{
    VERIFIER_FIL_MACHINE();
    const int nb = static_cast<int>(Form1.ListBoxProg1.Lignes.size());
    Form1.ListBoxProg1.Selection = (rang >= 0 && rang < nb) ? rang : -1;
}

} // namespace virmak
