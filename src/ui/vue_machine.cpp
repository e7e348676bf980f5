#include "ui/vue_machine.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/fichier_ini.h"
#include "foundation/file_evenements.h"
#include "pupitre/a_propos.h"
#include "ui/fenetre_principale.h"

#include <QDialog>
#include <QPointer>
#include <algorithm>
#include <chrono>

namespace virmak {

namespace {

    std::atomic<int> vivantes { 0 };

    // The lines of `place` set aside while its model is copied, and put back
    // whatever happens: they travel apart, shared.
    class LignesEcartees {
    public:
        explicit LignesEcartees(LignesRevisees& place)
            : place_(place)
            , lignes_(std::move(place))
        {
        }
        ~LignesEcartees() { place_ = std::move(lignes_); }
        LignesEcartees(const LignesEcartees&) = delete;
        LignesEcartees& operator=(const LignesEcartees&) = delete;

    private:
        LignesRevisees& place_;
        LignesRevisees lignes_;
    };

    std::shared_ptr<Instantane> NouvelInstantane()
    {
        vivantes.fetch_add(1);
        return std::shared_ptr<Instantane>(new Instantane, [](Instantane* i) {
            delete i;
            vivantes.fetch_sub(1);
        });
    }

    using Couches = std::vector<std::pair<int, std::vector<Trace>>>;

    // Drops the drawings nothing will show: each layer is drawn over a copy
    // of the one below, so a drawing of layer k is lost once k is drawn
    // again, unless layer k + 1 was drawn over it in between.
    void Elaguer(Couches& couches)
    {
        for (bool elague = true; elague;) {
            elague = false;
            for (size_t i = 0; i < couches.size() && !elague; ++i) {
                const int k = couches[i].first;
                for (size_t j = i + 1; j < couches.size(); ++j) {
                    if (couches[j].first == k + 1)
                        break;
                    if (couches[j].first == k) {
                        couches.erase(couches.begin() + static_cast<std::ptrdiff_t>(i));
                        elague = true;
                        break;
                    }
                }
            }
        }
    }

} // namespace

void LignesPartagees::Suivre(const LignesRevisees& lignes)
{
    if (lignes.Revision() == revision_)
        return;
    const std::vector<std::string>& source = lignes.Tout();
    if (lignes.Refonte() != refonte_ || source.size() < taille_) {
        blocs_.clear();
        taille_ = 0;
    }
    // The last block, when not full, is copied with the new lines: blocks
    // already handed over never change.
    while (taille_ < source.size()) {
        const size_t rang = taille_ / TailleBloc;
        const size_t fin = std::min(source.size(), (rang + 1) * TailleBloc);
        std::vector<std::string> bloc;
        bloc.reserve(fin - rang * TailleBloc);
        if (rang < blocs_.size())
            bloc = *blocs_[rang];
        bloc.insert(bloc.end(), source.begin() + static_cast<std::ptrdiff_t>(taille_),
            source.begin() + static_cast<std::ptrdiff_t>(fin));
        auto partage = std::make_shared<const std::vector<std::string>>(std::move(bloc));
        if (rang < blocs_.size())
            blocs_[rang] = std::move(partage);
        else
            blocs_.push_back(std::move(partage));
        taille_ = fin;
    }
    revision_ = lignes.Revision();
    refonte_ = lignes.Refonte();
}

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

void VueMachine::Publier()
{
    std::shared_ptr<Instantane> copie = NouvelInstantane();
    copie->Sequence = FileMachine().DerniereExecutee();
    lignesProg_.Suivre(virmak::Form1.ListBoxProg1.Lignes);
    lignesHist_.Suivre(FormHist.ListBoxHist.Lignes);
    {
        LignesEcartees ecartees(virmak::Form1.ListBoxProg1.Lignes);
        copie->Form1 = virmak::Form1;
    }
    copie->LignesProg = lignesProg_;
    copie->Outils = FormCorrecteursOutils;
    copie->Form3 = virmak::Form3;
    copie->ES = PageES;
    {
        LignesEcartees ecartees(FormHist.ListBoxHist.Lignes);
        copie->Hist = FormHist;
    }
    copie->LignesHist = lignesHist_;
    copie->RepExe = RepExe;
    copie->RevisionCles = RevisionCles;
    copie->NomAide = NomAide;
    copie->APropos = AProposDe;
    copie->Latence = FormLatence;
    for (int i = 0; i < 3; ++i) {
        copie->ValPas[i] = ValPas[i];
        copie->AvMax[i] = AvMax[i];
    }
    copie->PortLPT = PortLPT;
    copie->Simulation = Simulation;
    copie->CablageUsuel = CablageUsuelPris;
    std::shared_ptr<const Instantane> remplacee;
    {
        std::lock_guard<std::mutex> garde(verrou_);
        remplacee = std::move(envoi_.etat);
        envoi_.etat = std::move(copie);
    }
    // The copy the window never drew is destroyed here, outside the lock.
}

VueMachine::Envoi VueMachine::Prendre()
{
    Envoi envoi;
    std::lock_guard<std::mutex> garde(verrou_);
    std::swap(envoi, envoi_);
    return envoi;
}

int VueMachine::EnAttente() const
{
    std::lock_guard<std::mutex> garde(verrou_);
    return envoi_.etat ? 1 : 0;
}

int VueMachine::Vivantes()
{
    return vivantes.load();
}

void VueMachine::Rattraper()
{
    fenetre_->Rattraper();
}

void VueMachine::Repeindre(const std::string&)
{
    // The window draws the whole copy at its next frame, within 20 ms: the
    // machine never waits for a paint, and no control needs to be seen
    // sooner, as the window thread paints while the machine moves.
    Publier();
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
    // Asked before every move of a run: only the last one matters.
    std::lock_guard<std::mutex> garde(verrou_);
    envoi_.focus = controle;
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
    // The tool marker is drawn before every block: the window draws the
    // last one, not one per block.
    std::vector<Trace> copie = traces;
    std::lock_guard<std::mutex> garde(verrou_);
    envoi_.couches.emplace_back(couche, std::move(copie));
    Elaguer(envoi_.couches);
}

} // namespace virmak
