#include "foundation/vue.h"

#include <cstdio>
#include <map>

namespace virmak {

namespace {
    VueMuette vueMuette;
    Vue* vueActive = &vueMuette;

    // Stands in front of the real view during a pass and counts its boxes.
    class VueFiltree : public Vue {
    public:
        Vue* dessous = nullptr;
        std::map<std::string, int> vus;
        int omis = 0;

        void Repeindre(const std::string& c) override { dessous->Repeindre(c); }
        void TraiterMessages() override { dessous->TraiterMessages(); }
        void Message(const std::string& texte) override
        {
            if (++vus[texte] > RepetitionsMaxi)
                ++omis;
            else
                dessous->Message(texte);
        }
        bool MessageInterruptible(const std::string& texte, bool (*arret)()) override
        {
            return dessous->MessageInterruptible(texte, arret);
        }
        void DonnerFocus(const std::string& c) override { dessous->DonnerFocus(c); }
        void Aide(int contexte) override { dessous->Aide(contexte); }
        std::string DialogueOuvrir(const std::string& titre, const std::vector<std::string>& filtres,
            int filtre, const std::string& repertoire) override
        {
            return dessous->DialogueOuvrir(titre, filtres, filtre, repertoire);
        }
        std::string DialogueSauver(const std::string& repertoire) override
        {
            return dessous->DialogueSauver(repertoire);
        }
        void DessinerCouche(int couche, const std::vector<Trace>& traces) override
        {
            dessous->DessinerCouche(couche, traces);
        }
    };

    VueFiltree filtre;
    bool passeEnCours = false;
} // namespace

PasseAvertissements::PasseAvertissements()
{
    if (passeEnCours)
        return;
    passeEnCours = externe_ = true;
    filtre.dessous = vueActive;
    filtre.vus.clear();
    filtre.omis = 0;
    vueActive = &filtre;
}

PasseAvertissements::~PasseAvertissements()
{
    if (!externe_)
        return;
    passeEnCours = false;
    vueActive = filtre.dessous;
    if (filtre.omis == 1)
        vueActive->Message("1 autre avertissement répété n'a pas été affiché.");
    else if (filtre.omis > 1)
        vueActive->Message(
            std::to_string(filtre.omis) + " autres avertissements répétés n'ont pas été affichés.");
}

void VueMuette::Message(const std::string& texte)
{
    std::fprintf(stderr, "%s\n", texte.c_str());
}

Vue& VueActive()
{
    return *vueActive;
}

void DefinirVue(Vue* vue)
{
    vueActive = vue ? vue : &vueMuette;
}

} // namespace virmak
