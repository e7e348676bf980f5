#include "foundation/fichier_ini.h"

#include "foundation/nombres.h"
#include "foundation/texte.h"
#include "foundation/vue.h"

// Byte strings only: the wide-character variants are not used.
#define SI_NO_CONVERSION
#include <SimpleIni.h>
#include <cstdio>
#include <sys/stat.h>

namespace virmak {

std::string CleIndexee(std::string_view base, int index)
{
    std::string cle(base);
    cle += '(';
    cle += std::to_string(index);
    cle += ')';
    return cle;
}

struct FichierIni::Etat {
    CSimpleIniA ini { false, false, false };
    bool charge = false;
    struct timespec mtime { };
    off_t taille = -1;
    ino_t inode = 0;
    // The file on disk could not be taken as text (NUL bytes): it is set
    // aside before our first rewrite instead of being overwritten.
    bool illisible = false;
};

FichierIni::FichierIni()
    : etat_(std::make_unique<Etat>())
{
}
FichierIni::~FichierIni() = default;

void FichierIni::Ouvrir(const std::string& chemin)
{
    chemin_ = chemin;
    etat_ = std::make_unique<Etat>();
    lot_ = 0;
    modifieDansLot_ = false;
}

void FichierIni::Recharger()
{
    // Inside a batch the pending writes live only in memory.
    if (lot_ > 0 && etat_->charge)
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
    etat_->illisible = false;
    etat_->taille = -1;
    std::string contenu;
    if (existe && LireFichier(chemin_, contenu)) {
        if (contenu.find('\0') != std::string::npos) {
            etat_->illisible = true;
        } else if (etat_->ini.LoadData(contenu) < 0) {
            etat_->ini.Reset();
            etat_->illisible = true;
        }
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
    if (!v)
        return defaut;
    return LireEntierTexte(v).value_or(defaut);
}

bool FichierIni::LireBooleen(std::string_view section, std::string_view cle, bool defaut)
{
    return LireEntier(section, cle, defaut ? 1 : 0) != 0;
}

double FichierIni::LireReel(std::string_view section, std::string_view cle, double defaut)
{
    const char* v = Valeur(section, cle);
    if (!v)
        return defaut;
    return LireReelTexte(v).value_or(defaut);
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

bool FichierIni::Ecrire(std::string_view section, std::string_view cle, const std::string& valeur)
{
    Recharger();
    etat_->ini.SetValue(std::string(section).c_str(), std::string(cle).c_str(), valeur.c_str());
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
    std::string texte;
    bool ok = etat_->ini.Save(texte, false) >= 0;
    if (ok) {
        // Lines end with CR LF, as every text file the system writes.
        std::string crlf;
        crlf.reserve(texte.size() + texte.size() / 8);
        for (char c : texte) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        if (etat_->illisible) {
            const std::string copie = chemin_ + ".illisible";
            std::string ancien;
            ok = LireFichier(chemin_, ancien) && EcrireFichierAtomique(copie, ancien);
            if (ok) {
                etat_->illisible = false;
                VueActive().Message(
                    "Le fichier " + chemin_ + " était illisible ; il est conservé sous " + copie + ".");
            }
        }
        ok = ok && EcrireFichierAtomique(chemin_, crlf);
    }
    if (!ok) {
        // The values stay in memory; the next read will see the disk again.
        etat_->charge = false;
        if (!silencieux_) {
            VueActive().Message(std::string("Impossible d'écrire dans ") + chemin_);
        }
        return false;
    }
    struct stat st { };
    if (::stat(chemin_.c_str(), &st) == 0) {
        etat_->taille = st.st_size;
        etat_->inode = st.st_ino;
        etat_->mtime = st.st_mtim;
    }
    return true;
}

} // namespace virmak
