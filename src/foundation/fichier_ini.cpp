#include "foundation/fichier_ini.h"

#include "foundation/cn_historique.h"
#include "foundation/nombres.h"
#include "foundation/plages_cles.h"
#include "foundation/texte.h"
#include "foundation/vue.h"

// Byte strings only: the wide-character variants are not used. Debian's
// header keeps its template bodies behind SI_IMPLEMENTATION (for its
// library); they are compiled here, so neither that library nor the ICU it
// pulls in is loaded at start-up.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>
#include <algorithm>
#include <cstdio>
#include <strings.h>
#include <sys/stat.h>

namespace virmak {

uint64_t RevisionCles = 0;

std::string CleIndexee(std::string_view base, int index)
{
    std::string cle(base);
    cle += '(';
    cle += std::to_string(index);
    cle += ')';
    return cle;
}

namespace {

    bool Egal(std::string_view a, std::string_view b)
    {
        return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
    }

    std::string NomSeul(const std::string& chemin)
    {
        return chemin.substr(chemin.rfind('/') + 1);
    }

    struct Cle {
        std::string section, cle;
    };

    // One line of the file as read: a section header, a key, or anything
    // else (blank, comment, junk), which is kept as it is.
    struct LigneIni {
        std::string texte;
        std::string section; // the section the line belongs to
        std::string cle; // empty unless a key line
        bool entete = false;
    };

    std::vector<LigneIni> Analyser(std::string_view texte)
    {
        std::vector<LigneIni> lignes;
        std::string section;
        for (std::string& t : DecouperLignes(texte)) {
            LigneIni l { std::move(t), {}, {} };
            const std::string_view net = SansBlancs(l.texte);
            const size_t egal = net.find('=');
            if (!net.empty() && net.front() == '[' && net.find(']') != std::string_view::npos) {
                section = SansBlancs(net.substr(1, net.find(']') - 1));
                l.entete = true;
            } else if (!net.empty() && net.front() != ';' && net.front() != '#'
                && egal != std::string_view::npos) {
                l.cle = SansBlancs(net.substr(0, egal));
            }
            l.section = section;
            lignes.push_back(std::move(l));
        }
        return lignes;
    }

    // The file as read, with the keys written since put on their own lines:
    // a key already there gets its new value in place, a new key follows the
    // last key of its section, a new section goes at the end.
    std::string Reecrire(std::string_view ancien, const std::vector<Cle>& ecrites, const CSimpleIniA& ini)
    {
        const std::vector<LigneIni> lignes = Analyser(ancien);
        auto valeur = [&ini](const Cle& c) {
            return std::string(ini.GetValue(c.section.c_str(), c.cle.c_str(), ""));
        };
        std::vector<bool> placee(ecrites.size(), false);
        std::vector<std::vector<std::string>> apres(lignes.size());
        std::vector<std::string> sortie;
        sortie.reserve(lignes.size() + ecrites.size());
        for (size_t i = 0; i < lignes.size(); ++i) {
            const LigneIni& l = lignes[i];
            std::string texte = l.texte;
            for (size_t k = 0; k < ecrites.size() && !l.cle.empty(); ++k)
                if (Egal(l.section, ecrites[k].section) && Egal(l.cle, ecrites[k].cle)) {
                    texte = l.texte.substr(0, l.texte.find(l.cle)) + l.cle + "=" + valeur(ecrites[k]);
                    placee[k] = true;
                }
            sortie.push_back(std::move(texte));
        }
        // New keys of a section already in the file, after its last key.
        for (size_t k = 0; k < ecrites.size(); ++k) {
            if (placee[k])
                continue;
            for (size_t i = lignes.size(); i-- > 0;) {
                const LigneIni& l = lignes[i];
                if (Egal(l.section, ecrites[k].section) && (!l.cle.empty() || l.entete)) {
                    apres[i].push_back(ecrites[k].cle + "=" + valeur(ecrites[k]));
                    placee[k] = true;
                    break;
                }
            }
        }
        std::string texte;
        texte.reserve(ancien.size() + ecrites.size() * 24);
        for (size_t i = 0; i < sortie.size(); ++i) {
            texte += sortie[i] + "\r\n";
            for (const std::string& s : apres[i])
                texte += s + "\r\n";
        }
        // New sections at the end, in the order they were first written.
        for (size_t k = 0; k < ecrites.size(); ++k) {
            if (placee[k])
                continue;
            // Set off by a blank line, unless the file already ends with one.
            if (!texte.empty() && texte != "\r\n" && !texte.ends_with("\r\n\r\n"))
                texte += "\r\n";
            texte += "[" + ecrites[k].section + "]\r\n";
            for (size_t j = k; j < ecrites.size(); ++j)
                if (!placee[j] && Egal(ecrites[j].section, ecrites[k].section)) {
                    texte += ecrites[j].cle + "=" + valeur(ecrites[j]) + "\r\n";
                    placee[j] = true;
                }
        }
        return texte;
    }

} // namespace

struct FichierIni::Etat {
    CSimpleIniA ini { false, false, false };
    bool charge = false;
    struct timespec mtime { };
    off_t taille = -1;
    ino_t inode = 0;
    std::string texte; // the file as read: what a rewrite starts from
    std::vector<Cle> ecrites; // keys written since, in order
    std::vector<std::string> refusees; // keys already reported out of range
};

FichierIni::FichierIni()
    : etat_(std::make_unique<Etat>())
{
}
FichierIni::~FichierIni() = default;

void FichierIni::Ouvrir(const std::string& chemin, bool lectureSeule)
{
    chemin_ = chemin;
    etat_ = std::make_unique<Etat>();
    lot_ = 0;
    modifieDansLot_ = false;
    lectureSeule_ = lectureSeule;
    protege_ = false;
    illisible_ = false;
    dernierRefus_.clear();
}

void FichierIni::Proteger(const std::string& raison)
{
    if (protege_)
        return;
    protege_ = true;
    VueActive().Message("Le fichier " + chemin_ + " " + raison
        + " : les valeurs par défaut sont utilisées et ce fichier ne sera pas modifié.");
}

// A file that is not text is copied under the first free name before
// anything rewrites it; the copy never replaces an earlier one.
void FichierIni::MettreDeCote(const std::string& contenu)
{
    if (lectureSeule_) {
        VueActive().Message("Le fichier " + chemin_
            + " est illisible (ce n'est pas du texte) : les valeurs par défaut sont utilisées.");
        return;
    }
    for (int n = 1; n <= 1000; ++n) {
        const std::string copie = chemin_ + ".illisible" + (n > 1 ? "." + std::to_string(n) : "");
        struct stat st { };
        if (::lstat(copie.c_str(), &st) == 0)
            continue;
        if (!CreerFichierNeuf(copie, contenu))
            break;
        VueActive().Message("Le fichier " + chemin_
            + " était illisible (ce n'est pas du texte) ; il est conservé sous " + copie
            + " et les valeurs par défaut sont utilisées.");
        return;
    }
    Proteger("est illisible (ce n'est pas du texte) et n'a pas pu être mis de côté");
}

void FichierIni::Recharger()
{
    // Inside a batch the pending writes live only in memory; a read-only
    // file (virmak-cli's short run) is read once, not checked at every key.
    if ((lot_ > 0 || lectureSeule_) && etat_->charge)
        return;
    struct stat st { };
    const bool existe = ::stat(chemin_.c_str(), &st) == 0;
    if (etat_->charge) {
        const bool inchange = existe
            ? (st.st_size == etat_->taille && st.st_ino == etat_->inode
                && st.st_mtim.tv_sec == etat_->mtime.tv_sec && st.st_mtim.tv_nsec == etat_->mtime.tv_nsec)
            : etat_->taille < 0;
        if (inchange)
            return;
    }
    etat_->ini.Reset();
    etat_->ini.SetSpaces(false);
    etat_->texte.clear();
    etat_->ecrites.clear();
    etat_->refusees.clear();
    etat_->taille = -1;
    illisible_ = false;
    std::string contenu;
    const Lecture lecture = existe ? LireFichier(chemin_, contenu) : Lecture::Absent;
    if (lecture == Lecture::Ok) {
        if (contenu.find('\0') != std::string::npos || etat_->ini.LoadData(contenu) < 0) {
            etat_->ini.Reset();
            illisible_ = true;
            MettreDeCote(contenu);
        } else {
            etat_->texte = std::move(contenu);
        }
    } else if (lecture != Lecture::Absent) {
        illisible_ = true;
        Proteger("ne peut pas être lu (" + RaisonLecture(lecture) + ")");
    }
    if (existe) {
        etat_->taille = st.st_size;
        etat_->inode = st.st_ino;
        etat_->mtime = st.st_mtim;
    }
    etat_->charge = true;
}

const char* FichierIni::Valeur(std::string_view section, std::string_view cle)
{
    Recharger();
    return etat_->ini.GetValue(std::string(section).c_str(), std::string(cle).c_str(), nullptr);
}

bool FichierIni::DansPlage(std::string_view section, std::string_view cle, double valeur, double defaut)
{
    const PlageCle* plage = PlageDe(section, cle);
    if (!plage || (valeur >= plage->min && valeur <= plage->max))
        return true;
    const std::string nom = std::string(section) + "/" + std::string(cle);
    auto& refusees = etat_->refusees;
    if (std::find(refusees.begin(), refusees.end(), nom) == refusees.end()) {
        refusees.push_back(nom);
        MsgHistoriqueDiffere("Valeur refusée dans " + NomSeul(chemin_) + ", [" + std::string(section) + "] "
            + std::string(cle) + "=" + DecoderLigne(Valeur(section, cle)) + " : hors de "
            + FormatGeneral(plage->min) + " à " + FormatGeneral(plage->max) + ", la valeur par défaut "
            + FormatGeneral(defaut) + " est prise.");
    }
    return false;
}

std::string FichierIni::LireChaine(std::string_view section, std::string_view cle, std::string_view defaut)
{
    const char* v = Valeur(section, cle);
    if (!v)
        return std::string(defaut);
    return DecoderLigne(v);
}

int32_t FichierIni::LireEntier(std::string_view section, std::string_view cle, int32_t defaut)
{
    const char* v = Valeur(section, cle);
    const std::optional<int32_t> n = v ? LireEntierTexte(v) : std::nullopt;
    return n && DansPlage(section, cle, *n, defaut) ? *n : defaut;
}

bool FichierIni::LireBooleen(std::string_view section, std::string_view cle, bool defaut)
{
    return LireEntier(section, cle, defaut ? 1 : 0) != 0;
}

double FichierIni::LireReel(std::string_view section, std::string_view cle, double defaut)
{
    const char* v = Valeur(section, cle);
    const std::optional<double> x = v ? LireReelTexte(v) : std::nullopt;
    return x && DansPlage(section, cle, *x, defaut) ? *x : defaut;
}

bool FichierIni::CleExiste(std::string_view section, std::string_view cle)
{
    return Valeur(section, cle) != nullptr;
}

std::vector<std::string> FichierIni::Sections()
{
    Recharger();
    CSimpleIniA::TNamesDepend noms;
    etat_->ini.GetAllSections(noms);
    noms.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> resultat;
    for (const auto& n : noms)
        resultat.emplace_back(n.pItem);
    return resultat;
}

bool FichierIni::EcrireChaine(std::string_view section, std::string_view cle, std::string_view valeur)
{
    return Ecrire(section, cle, std::string(valeur));
}

bool FichierIni::EcrireEntier(std::string_view section, std::string_view cle, int32_t valeur)
{
    return Ecrire(section, cle, std::to_string(valeur));
}

bool FichierIni::EcrireBooleen(std::string_view section, std::string_view cle, bool valeur)
{
    return Ecrire(section, cle, valeur ? "1" : "0");
}

bool FichierIni::EcrireReel(std::string_view section, std::string_view cle, double valeur)
{
    return Ecrire(section, cle, FormatGeneral(valeur));
}

bool FichierIni::Ecrire(std::string_view section, std::string_view cle, std::string valeur)
{
    Recharger();
    for (char& c : valeur)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    const std::string s(section), k(cle);
    etat_->ini.SetValue(s.c_str(), k.c_str(), valeur.c_str());
    auto& ecrites = etat_->ecrites;
    if (std::none_of(ecrites.begin(), ecrites.end(),
            [&](const Cle& e) { return Egal(e.section, s) && Egal(e.cle, k); }))
        ecrites.push_back({ s, k });
    if (lot_ > 0) {
        modifieDansLot_ = true;
        return true;
    }
    return Enregistrer();
}

void FichierIni::DebutLot()
{
    if (lot_ == 0) {
        Recharger();
        modifieDansLot_ = false;
    }
    ++lot_;
}

bool FichierIni::FinLot()
{
    if (lot_ == 0)
        return true;
    if (--lot_ > 0)
        return true;
    if (!modifieDansLot_)
        return true;
    modifieDansLot_ = false;
    return Enregistrer();
}

bool FichierIni::Enregistrer()
{
    // Already said at the first read, or never to write (virmak-cli).
    if (lectureSeule_ || protege_)
        return false;
    const std::string texte = Reecrire(etat_->texte, etat_->ecrites, etat_->ini);
    if (!EcrireFichierAtomique(chemin_, texte)) {
        // The values stay in memory; the next read will see the disk again.
        etat_->charge = false;
        if (!silencieux_ && texte != dernierRefus_)
            VueActive().Message(std::string("Impossible d'écrire dans ") + chemin_);
        dernierRefus_ = texte;
        return false;
    }
    dernierRefus_.clear();
    if (texte != etat_->texte)
        ++RevisionCles;
    etat_->texte = texte;
    etat_->ecrites.clear();
    struct stat st { };
    if (::stat(chemin_.c_str(), &st) == 0) {
        etat_->taille = st.st_size;
        etat_->inode = st.st_ino;
        etat_->mtime = st.st_mtim;
    }
    return true;
}

} // namespace virmak
