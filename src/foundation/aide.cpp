#include "foundation/aide.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifndef VIRMAK_SOURCES
#define VIRMAK_SOURCES ""
#endif

namespace virmak {

namespace fs = std::filesystem;

namespace {

    bool EstFichier(const fs::path& chemin)
    {
        std::error_code erreur;
        return fs::is_regular_file(chemin, erreur);
    }

    bool FinitParSansCasse(std::string texte, const std::string& fin)
    {
        std::transform(texte.begin(), texte.end(), texte.begin(),
            [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
        return texte.size() >= fin.size() && texte.compare(texte.size() - fin.size(), fin.size(), fin) == 0;
    }

    // An absolute name is the page itself; a relative one is looked for in
    // each folder.
    std::string Trouver(const std::string& page, const std::vector<std::string>& dossiers)
    {
        const fs::path p(page);
        if (p.is_absolute())
            return EstFichier(p) ? page : std::string();
        for (const std::string& d : dossiers)
            if (EstFichier(fs::path(d) / p))
                return (fs::path(d) / p).lexically_normal().string();
        return {};
    }

} // namespace

std::string IndexAide(const std::string& nomAide)
{
    if (nomAide.empty() || FinitParSansCasse(nomAide, ".chm"))
        return NomAideDefaut;
    return nomAide;
}

std::string PageAide(const std::string& nomAide, int contexte)
{
    const fs::path index(IndexAide(nomAide));
    if (contexte <= 0)
        return index.string();
    return (index.parent_path() / (std::to_string(contexte) + ".html")).string();
}

std::vector<std::string> DossiersAide(const std::string& repConfiguration, const std::string& repExecutable)
{
    std::vector<std::string> dossiers;
    auto ajouter = [&dossiers](const fs::path& d) {
        if (d.empty())
            return;
        const std::string nom = d.lexically_normal().string();
        const std::string sansBarre
            = nom.size() > 1 && nom.back() == '/' ? nom.substr(0, nom.size() - 1) : nom;
        if (std::find(dossiers.begin(), dossiers.end(), sansBarre) == dossiers.end())
            dossiers.push_back(sansBarre);
    };
    ajouter(repConfiguration);
    ajouter(repExecutable);
    if (!repExecutable.empty())
        ajouter(fs::path(repExecutable) / ".." / "share" / "virmak");
    ajouter(VIRMAK_SOURCES);
    return dossiers;
}

std::string DossierExemples(const std::vector<std::string>& dossiers)
{
    for (const std::string& d : dossiers) {
        std::error_code erreur;
        const fs::path exemples = fs::path(d) / "exemples";
        if (fs::is_directory(exemples, erreur))
            return exemples.lexically_normal().string() + "/";
    }
    return {};
}

std::string CheminAide(const std::string& nomAide, int contexte, const std::vector<std::string>& dossiers)
{
    std::string chemin = Trouver(PageAide(nomAide, contexte), dossiers);
    if (chemin.empty() && contexte > 0)
        chemin = Trouver(IndexAide(nomAide), dossiers);
    return chemin;
}

std::string MessageAideIntrouvable(
    const std::string& nomAide, int contexte, const std::vector<std::string>& dossiers)
{
    const std::string page = PageAide(nomAide, contexte);
    std::string texte = "Fichier d'aide introuvable : " + page;
    if (!fs::path(page).is_absolute() && !dossiers.empty()) {
        texte += " (cherché dans : ";
        for (size_t i = 0; i < dossiers.size(); ++i)
            texte += (i ? ", " : "") + dossiers[i];
        texte += ")";
    }
    return texte + ".";
}

} // namespace virmak
