#pragma once
// Where the help and the example programs live, and which page answers a
// help button. The help is a folder of HTML pages shown in the program's
// help window: `NomAide` names its index page, and context n is the page
// "n.html" beside it.

#include <string>
#include <vector>

namespace virmak {

inline constexpr const char* NomAideDefaut = "aide/index.html";

// The index page to look for: `nomAide`, or the default when it is empty or
// names a compiled Windows help (".chm"), which nothing here can show.
std::string IndexAide(const std::string& nomAide);

// The page of a context, relative to a help folder or absolute like
// `nomAide`: the index for 0, "n.html" beside the index otherwise.
std::string PageAide(const std::string& nomAide, int contexte);

// The folders searched, in this order: the configuration folder, the
// executable's folder, the installed program's share/virmak/ beside its
// bin/, and the source tree the program was built from. Duplicates and
// empty names are left out.
std::vector<std::string> DossiersAide(const std::string& repConfiguration, const std::string& repExecutable);

// The folder of the example programs: the first "exemples" folder of
// `dossiers`, with its trailing '/'; empty when there is none.
std::string DossierExemples(const std::vector<std::string>& dossiers);

// The first existing page of the context in `dossiers`; failing that, the
// first existing index (a context without a page of its own); empty when
// the help is nowhere.
std::string CheminAide(const std::string& nomAide, int contexte, const std::vector<std::string>& dossiers);

// "Fichier d'aide introuvable : aide/1004.html (cherché dans : ...)."
std::string MessageAideIntrouvable(
    const std::string& nomAide, int contexte, const std::vector<std::string>& dossiers);

} // namespace virmak
