#include "support/support.h"

#include "foundation/cn_varia.h"
#include "foundation/partage.h"
#include "machine/choix_port.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace virmak::test {

bool AvertissementsLus = false;

std::string LireTout(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void EcrireTout(const std::string& chemin, const std::string& contenu)
{
    std::ofstream f(chemin, std::ios::binary | std::ios::trunc);
    f << contenu;
}

void AvecConfiguration::SetUp()
{
    char modele[] = "/tmp/virmak-test-XXXXXX";
    const char* d = ::mkdtemp(modele);
    ASSERT_NE(d, nullptr);
    dossier = std::string(d) + "/";
    if (AvertissementsLus)
        EcrireTout(dossier + "CncParam.Ini", "[BOOLEAN]\r\nAvertOK=1\r\n");
    RepDemande = dossier;
    RepExe.clear();
    DefinirVue(&vue);
    vue.arretSiVide = &ArretUrgence;
    DefinirPlateforme(&horloge);
    Entrees().PrendreUrgence();
}

void AvecConfiguration::TearDown()
{
    FermerPort();
    MachineVirtuelleDemandee = false;
    DefinirVue(nullptr);
    DefinirPlateforme(nullptr);
    RepDemande.clear();
    std::error_code ec;
    std::filesystem::permissions(dossier, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(dossier, ec);
}

} // namespace virmak::test
