#pragma once
// Shared test fixtures: a fresh configuration folder, a view that records
// what the logic asked of the screen, and a virtual clock.

#include "foundation/plateforme.h"
#include "foundation/vue.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace virmak::test {

class VueEnregistreuse : public Vue {
public:
    void Repeindre(const std::string& c) override { repeints.push_back(c); }
    void TraiterMessages() override { ++traitements; }
    // An operator wait runs the next scripted action; with none left the
    // wait would never end, so the test's stop is engaged.
    void AttendreMessages() override
    {
        ++attentes;
        if (script.empty()) {
            scriptEpuise = true;
            if (arretSiVide)
                *arretSiVide = true;
            return;
        }
        auto action = std::move(script.front());
        script.pop_front();
        action();
    }
    void Message(const std::string& t) override { messages.push_back(t); }
    // The M0 box of a run: what the operator does while it is open, then
    // whether the run's watch ends it.
    bool MessageInterruptible(const std::string& t, bool (*arret)()) override
    {
        messages.push_back(t);
        if (pendantBoite)
            pendantBoite();
        return !arret();
    }
    void DonnerFocus(const std::string& c) override { focus.push_back(c); }
    void Aide(int contexte) override { aides.push_back(contexte); }
    std::string DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres, int filtre,
        const std::string& repertoire) override
    {
        ouverture = { titre, filtres, filtre, repertoire };
        ++dialogues;
        return reponseOuvrir;
    }
    std::string DialogueSauver(const std::string& repertoire) override
    {
        repSauvegarde = repertoire;
        ++dialogues;
        return reponseSauver;
    }

    void DessinerCouche(int couche, const std::vector<Trace>& traces) override
    {
        if (couche >= 1 && couche <= 3)
            couches[couche] = traces;
        dessins.push_back(couche);
    }

    struct Ouverture {
        std::string titre;
        std::vector<std::string> filtres;
        int filtre = -1;
        std::string repertoire;
    } ouverture;
    std::string repSauvegarde;
    std::string reponseOuvrir, reponseSauver; // what the operator picks
    int dialogues = 0;

    std::vector<std::string> repeints;
    std::vector<std::string> messages;
    std::vector<std::string> focus;
    std::vector<int> aides;
    int traitements = 0;
    int attentes = 0;
    std::deque<std::function<void()>> script; // the operator's presses, in order
    std::function<void()> pendantBoite; // while an interruptible box is open
    bool scriptEpuise = false;
    bool* arretSiVide = nullptr; // set to ArretUrgence's address by the fixtures
    std::vector<Trace> couches[4]; // preview layers 1 to 3 as last drawn
    std::vector<int> dessins; // layers drawn, in order
};

// The virtual clock at 10 MHz, recording the priority switches, with keys
// the test holds down.
class HorlogeVirtuelle : public PlateformeVirtuelle {
public:
    HorlogeVirtuelle() { frequence = 10000000; }
    bool PrioriteTempsReel(bool active) override
    {
        priorites.push_back(active);
        return false;
    }
    bool ToucheEnfoncee(Touche t) override
    {
        if (surLecture)
            surLecture(t);
        return touches.count(t) > 0;
    }
    bool BoutonEnfonce(BoutonSouris b) override { return boutons.count(b) > 0; }
    // Taps the test scripts, on top of the presses seen of the keys held.
    int Frappes(Touche t) override
    {
        const int n = frappes[t];
        frappes[t] = 0;
        return n + PlateformeVirtuelle::Frappes(t);
    }
    int64_t AttendreJusqua(int64_t echeance) override
    {
        if (pendantAttente)
            pendantAttente(maintenant, echeance);
        return PlateformeVirtuelle::AttendreJusqua(echeance);
    }
    int64_t DormirJusqua(int64_t echeance) override { return AttendreJusqua(echeance); }

    std::vector<bool> priorites;
    std::set<Touche> touches; // held down
    std::map<Touche, int> frappes; // short taps since the last look, not held
    std::set<BoutonSouris> boutons;
    std::function<void(Touche)> surLecture; // before each read of a key: scripts a release
    std::function<void(int64_t, int64_t)> pendantAttente; // each wait, from now to its end
};

std::string LireTout(const std::string& chemin);
void EcrireTout(const std::string& chemin, const std::string& contenu);

// Set by the window tests: their folders start with the safety warnings
// acknowledged, as the box they would show keeps the main window disabled.
extern bool AvertissementsLus;

// Every test starts from an empty configuration folder of its own, with the
// recording view and the virtual clock in place.
class AvecConfiguration : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Fichier(const std::string& nom) const { return dossier + nom; }

    std::string dossier; // ends with '/'
    VueEnregistreuse vue;
    HorlogeVirtuelle horloge;
};

} // namespace virmak::test
