// virmak's own command line answers without a display.

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

struct Reponse {
    int statut = -1;
    std::string sortie;
};

Reponse Lancer(const std::string& arguments)
{
    Reponse r;
    std::FILE* p = ::popen(("env -u DISPLAY '" VIRMAK_BINAIRE "' " + arguments + " 2>&1").c_str(), "r");
    char tampon[512];
    while (p && std::fgets(tampon, sizeof tampon, p))
        r.sortie += tampon;
    const int etat = p ? ::pclose(p) : -1;
    r.statut = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
    return r;
}

} // namespace

TEST(LigneDeCommandeVirmak, HelpListsEveryOptionTheVirtualMachineIncluded)
{
    const struct {
        const char* arguments;
        int statut;
        const char* attendu;
    } cas[] = {
        { "--help", 0, "  --machine-virtuelle  une machine simulée à la place du port parallèle" },
        { "--help", 0, "usage : virmak [--rep DOSSIER] [--machine-virtuelle] [PROGRAMME]" },
        { "--frobnique", 2, "virmak : option inconnue : --frobnique" },
        { "--rep", 2, "l'option --rep demande un dossier" },
    };
    for (const auto& c : cas) {
        const Reponse r = Lancer(c.arguments);
        EXPECT_EQ(r.statut, c.statut) << c.arguments;
        EXPECT_NE(r.sortie.find(c.attendu), std::string::npos) << c.arguments << "\n" << r.sortie;
    }
}
