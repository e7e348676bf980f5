#include "ui/vue_machine.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "pupitre/a_propos.h"
#include "ui/fenetre_principale.h"

#include <QDialog>
#include <QPointer>
#include <chrono>

namespace virmak {

namespace {

    // The copy of a list of lines, shared while it does not change, so that
    // a publication costs a comparison and not a copy of a long program.
    Lignes Partager(Lignes& dernieres, const std::vector<std::string>& lignes)
    {
        if (!dernieres || *dernieres != lignes)
            dernieres = std::make_shared<const std::vector<std::string>>(lignes);
        return dernieres;
    }

} // namespace

VueMachine::VueMachine(TForm1* fenetre)
    : fenetre_(fenetre)
    , contexte_(fenetre)
{
}

template <typename T> T VueMachine::Attendre(std::future<T>& reponse, T sansReponse)
{
    while (reponse.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
        if (fermee_.load())
            return sansReponse;
    return reponse.get();
}

void VueMachine::Publier(const std::string& controle)
{
    auto copie = std::make_shared<Instantane>();
    copie->Sequence = FileMachine().DerniereExecutee();
    // The long lists travel apart: swapped out for the copy, shared after.
    std::vector<std::string> lignes;
    std::swap(lignes, virmak::Form1.ListBoxProg1.Lignes);
    copie->Form1 = virmak::Form1;
    std::swap(lignes, virmak::Form1.ListBoxProg1.Lignes);
    copie->LignesProg = Partager(lignesProg_, virmak::Form1.ListBoxProg1.Lignes);
    copie->Outils = FormCorrecteursOutils;
    copie->Form3 = virmak::Form3;
    copie->ES = PageES;
    std::swap(lignes, FormHist.ListBoxHist.Lignes);
    copie->Hist = FormHist;
    std::swap(lignes, FormHist.ListBoxHist.Lignes);
    copie->LignesHist = Partager(lignesHist_, FormHist.ListBoxHist.Lignes);
    copie->RepExe = RepExe;
    copie->NomAide = NomAide;
    copie->APropos = AProposDe;
    for (int i = 0; i < 3; ++i)
        copie->ValPas[i] = ValPas[i];
    copie->PortLPT = PortLPT;
    copie->Simulation = Simulation;
    VersFenetre([f = fenetre_, copie = std::shared_ptr<const Instantane>(std::move(copie)), controle] {
        f->Recevoir(copie, controle);
    });
}

void VueMachine::Repeindre(const std::string& controle)
{
    Publier(controle);
}

void VueMachine::TraiterMessages()
{
    FileMachine().ExecuterEnAttente();
}

void VueMachine::AttendreMessages()
{
    // Blocks on the queue, not a spin; wakes now and then all the same, so a
    // wait never outlives a queue stopped under it.
    Publier();
    // Short, so that the run's own checks (the machine's inputs) come often.
    if (!FileMachine().AttendreEtExecuter(std::chrono::steady_clock::now() + std::chrono::milliseconds(50)))
        ArretUrgence = true;
}

void VueMachine::Message(const std::string& texte)
{
    Publier();
    auto promesse = std::make_shared<std::promise<bool>>();
    std::future<bool> reponse = promesse->get_future();
    VersFenetre([f = fenetre_, texte, promesse] {
        f->MontrerMessage(texte, [promesse] { promesse->set_value(true); });
    });
    Attendre(reponse, false);
}

bool VueMachine::MessageInterruptible(const std::string& texte, bool (*arret)())
{
    Publier();
    auto promesse = std::make_shared<std::promise<bool>>();
    std::future<bool> reponse = promesse->get_future();
    auto boite = std::make_shared<QPointer<QDialog>>();
    VersFenetre([f = fenetre_, texte, promesse, boite] {
        f->MontrerMessage(
            texte, [promesse] { promesse->set_value(true); }, boite);
    });
    while (reponse.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (fermee_.load())
            return false;
        if (arret()) {
            // Shown after the box, so it finds it there.
            VersFenetre([boite] {
                if (*boite)
                    (*boite)->reject();
            });
            Publier();
            return false;
        }
    }
    return true;
}

void VueMachine::DonnerFocus(const std::string& controle)
{
    VersFenetre([f = fenetre_, controle] { f->DonnerFocus(controle); });
}

void VueMachine::Aide(int contexte)
{
    VersFenetre([f = fenetre_, contexte] { f->Aide(contexte); });
}

std::string VueMachine::DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres,
    int filtre, const std::string& repertoire)
{
    Publier();
    auto promesse = std::make_shared<std::promise<std::string>>();
    std::future<std::string> reponse = promesse->get_future();
    VersFenetre([f = fenetre_, titre, filtres, filtre, repertoire, promesse] {
        f->DialogueOuvrir(titre, filtres, filtre, repertoire,
            [promesse](const std::string& chemin) { promesse->set_value(chemin); });
    });
    return Attendre(reponse, std::string());
}

std::string VueMachine::DialogueSauver(const std::string& repertoire)
{
    Publier();
    auto promesse = std::make_shared<std::promise<std::string>>();
    std::future<std::string> reponse = promesse->get_future();
    VersFenetre([f = fenetre_, repertoire, promesse] {
        f->DialogueSauver(repertoire, [promesse](const std::string& chemin) { promesse->set_value(chemin); });
    });
    return Attendre(reponse, std::string());
}

void VueMachine::DessinerCouche(int couche, const std::vector<Trace>& traces)
{
    VersFenetre([f = fenetre_, couche, traces = std::make_shared<const std::vector<Trace>>(traces)] {
        f->DessinerCouche(couche, *traces);
    });
}

} // namespace virmak
