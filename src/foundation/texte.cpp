#include "foundation/texte.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace virmak {

bool EstUtf8Valide(std::string_view s)
{
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        // ASCII eight bytes at a time: a program is almost only that.
        if (i + 8 <= n) {
            uint64_t huit = 0;
            std::memcpy(&huit, s.data() + i, 8);
            if ((huit & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t suite = 0;
        uint32_t min = 0;
        uint32_t cp = 0;
        if ((c & 0xE0) == 0xC0) {
            suite = 1;
            min = 0x80;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            suite = 2;
            min = 0x800;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            suite = 3;
            min = 0x10000;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (size_t k = 1; k <= suite; ++k) {
            if (i + k >= n)
                return false;
            const auto d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += suite + 1;
    }
    return true;
}

std::string_view SansBlancs(std::string_view t)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
        t.remove_suffix(1);
    return t;
}

namespace {

    // Windows-1252 0x80..0x9F; 0 where the code page leaves a hole.
    constexpr char16_t Cp1252Haut[32] = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
        0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
        0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };

    void AjouterUtf8(std::string& sortie, uint32_t cp)
    {
        if (cp < 0x80) {
            sortie += static_cast<char>(cp);
        } else if (cp < 0x800) {
            sortie += static_cast<char>(0xC0 | (cp >> 6));
            sortie += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            sortie += static_cast<char>(0xE0 | (cp >> 12));
            sortie += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            sortie += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

} // namespace

std::string DecoderLigne(std::string_view octets)
{
    if (EstUtf8Valide(octets))
        return std::string(octets);
    std::string sortie;
    sortie.reserve(octets.size() + octets.size() / 2);
    for (char ch : octets) {
        const auto c = static_cast<unsigned char>(ch);
        uint32_t cp = c;
        if (c >= 0x80 && c < 0xA0)
            cp = Cp1252Haut[c - 0x80] ? Cp1252Haut[c - 0x80] : c;
        AjouterUtf8(sortie, cp);
    }
    return sortie;
}

namespace {

    // LF bytes, eight at a time: a byte of the word xor LF is zero exactly
    // where the text has one, the expression below sets the high bit of
    // exactly those bytes, and the product adds those bits up in its top
    // byte.
    size_t CompterLF(const char* octets, size_t taille)
    {
        constexpr uint64_t Bas7 = 0x7F7F7F7F7F7F7F7FULL;
        constexpr uint64_t LF = 0x0A0A0A0A0A0A0A0AULL;
        constexpr uint64_t Uns = 0x0101010101010101ULL;
        size_t n = 0, i = 0;
        for (; i + 8 <= taille; i += 8) {
            uint64_t mot = 0;
            std::memcpy(&mot, octets + i, 8);
            mot ^= LF;
            const uint64_t zeros = ~(((mot & Bas7) + Bas7) | mot | Bas7);
            n += static_cast<size_t>(((zeros >> 7) * Uns) >> 56);
        }
        for (; i < taille; ++i)
            n += octets[i] == '\n';
        return n;
    }

    constexpr size_t TailleMorceau = 65536;

    // A file opened for reading after the checks of LireFichier, or -1 with
    // the reason.
    int OuvrirLecture(const std::string& chemin, size_t maxi, Lecture& resultat)
    {
        // Checked before opening: opening a device may already act on it.
        struct stat st { };
        resultat = Lecture::Ok;
        if (::stat(chemin.c_str(), &st) != 0)
            resultat = errno == ENOENT || errno == ENOTDIR ? Lecture::Absent
                : errno == EACCES                          ? Lecture::Refusee
                                                           : Lecture::Erreur;
        else if (!S_ISREG(st.st_mode))
            resultat = Lecture::PasUnFichier;
        else if ((st.st_mode & 0444) == 0)
            resultat = Lecture::Refusee;
        else if (static_cast<uint64_t>(st.st_size) > maxi)
            resultat = Lecture::TropGros;
        if (resultat != Lecture::Ok)
            return -1;
        // Non-blocking, so a file swapped for a pipe meanwhile cannot hang us.
        const int fd = ::open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            resultat = errno == EACCES || errno == EPERM ? Lecture::Refusee : Lecture::Erreur;
            return -1;
        }
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            resultat = Lecture::PasUnFichier;
            return -1;
        }
        return fd;
    }

    // Up to `taille` bytes, fewer only at the end of the file; -1 on an error.
    ssize_t LireMorceau(int fd, char* octets, size_t taille)
    {
        size_t lus = 0;
        while (lus < taille) {
            const ssize_t n = ::read(fd, octets + lus, taille - lus);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return -1;
            if (n == 0)
                break;
            lus += static_cast<size_t>(n);
        }
        return static_cast<ssize_t>(lus);
    }

} // namespace

LecteurLignes::LecteurLignes(std::string_view texte)
    : donnees_(texte.data())
    , fin_(texte.size())
    , nombre_(CompterLF(texte.data(), texte.size()) + (!texte.empty() && texte.back() != '\n'))
    , toutUtf8_(EstUtf8Valide(texte)) // LF never cuts a UTF-8 sequence: every line is valid too
{
}

LecteurLignes::~LecteurLignes()
{
    Fermer();
}

void LecteurLignes::Fermer()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    donnees_ = nullptr;
    debut_ = fin_ = cherche_ = taille_ = restant_ = nombre_ = 0;
    finTexte_ = toutUtf8_ = true;
    nul_ = false;
}

Lecture LecteurLignes::Ouvrir(const std::string& chemin, size_t maxi)
{
    Fermer();
    fd_ = OuvrirLecture(chemin, maxi, etat_);
    if (fd_ < 0)
        return etat_;
    tampon_.resize(TailleMorceau);
    // The first reading: its size (a file still growing is cut off past
    // `maxi`, not followed), its lines and whether it is text.
    size_t total = 0;
    char dernier = '\n';
    for (;;) {
        const ssize_t n = LireMorceau(fd_, tampon_.data(), tampon_.size());
        if (n < 0)
            etat_ = Lecture::Erreur;
        else if (total + static_cast<size_t>(n) > maxi)
            etat_ = Lecture::TropGros;
        if (n <= 0 || etat_ != Lecture::Ok)
            break;
        const auto taille = static_cast<size_t>(n);
        total += taille;
        nombre_ += CompterLF(tampon_.data(), taille);
        nul_ = nul_ || std::memchr(tampon_.data(), '\0', taille);
        dernier = tampon_[taille - 1];
    }
    nombre_ += dernier != '\n';
    taille_ = total;
    toutUtf8_ = false;
    if (etat_ != Lecture::Ok || !Rembobiner()) {
        const Lecture raison = etat_ == Lecture::Ok ? Lecture::Erreur : etat_;
        Fermer();
        return etat_ = raison;
    }
    return Lecture::Ok;
}

bool LecteurLignes::Rembobiner()
{
    debut_ = cherche_ = 0;
    if (fd_ < 0)
        return true; // a text in memory: fin_ is its end
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
        etat_ = Lecture::Erreur;
        return false;
    }
    etat_ = Lecture::Ok;
    donnees_ = tampon_.data();
    fin_ = 0;
    restant_ = taille_;
    finTexte_ = taille_ == 0;
    return true;
}

// Keeps the bytes not yet given at the start of the buffer, enlarged when
// they fill it (one line longer than the buffer), and reads more after them.
bool LecteurLignes::Remplir()
{
    const size_t garde = fin_ - debut_;
    std::memmove(tampon_.data(), tampon_.data() + debut_, garde);
    cherche_ -= debut_;
    debut_ = 0;
    fin_ = garde;
    if (fin_ == tampon_.size())
        tampon_.resize(2 * tampon_.size());
    donnees_ = tampon_.data();
    const size_t voulu = std::min(tampon_.size() - fin_, restant_);
    const ssize_t n = LireMorceau(fd_, tampon_.data() + fin_, voulu);
    if (n < 0) {
        etat_ = Lecture::Erreur;
        return false;
    }
    fin_ += static_cast<size_t>(n);
    restant_ -= static_cast<size_t>(n);
    // Less than at the first reading: the file shrank meanwhile, and what
    // is there now is all there is.
    finTexte_ = restant_ == 0 || static_cast<size_t>(n) < voulu;
    return true;
}

bool LecteurLignes::Suivante(std::string_view& ligne)
{
    const char* lf = nullptr;
    for (;;) {
        if (cherche_ < fin_)
            lf = static_cast<const char*>(std::memchr(donnees_ + cherche_, '\n', fin_ - cherche_));
        if (lf || finTexte_)
            break;
        cherche_ = fin_;
        if (!Remplir())
            return false;
    }
    if (!lf && debut_ == fin_)
        return false;
    const size_t fin = lf ? static_cast<size_t>(lf - donnees_) : fin_;
    ligne = std::string_view(donnees_ + debut_, fin - debut_);
    debut_ = cherche_ = lf ? fin + 1 : fin_;
    if (!ligne.empty() && ligne.back() == '\r')
        ligne.remove_suffix(1);
    if (!toutUtf8_ && !EstUtf8Valide(ligne)) {
        converti_ = DecoderLigne(ligne);
        ligne = converti_;
    }
    return true;
}

std::vector<std::string> DecouperLignes(std::string_view contenu)
{
    LecteurLignes lecteur(contenu);
    std::vector<std::string> lignes;
    lignes.reserve(lecteur.Nombre());
    for (std::string_view ligne; lecteur.Suivante(ligne);)
        lignes.emplace_back(ligne);
    return lignes;
}

Lecture LireFichier(const std::string& chemin, std::string& contenu, size_t maxi)
{
    contenu.clear();
    Lecture resultat = Lecture::Ok;
    const int fd = OuvrirLecture(chemin, maxi, resultat);
    if (fd < 0)
        return resultat;
    struct stat st { };
    if (::fstat(fd, &st) == 0)
        contenu.reserve(std::min(static_cast<size_t>(st.st_size), maxi));
    char tampon[TailleMorceau];
    for (;;) {
        const ssize_t n = LireMorceau(fd, tampon, sizeof tampon);
        if (n < 0) {
            resultat = Lecture::Erreur;
            break;
        }
        if (n == 0)
            break;
        // A file still growing is cut off here, not followed.
        if (contenu.size() + static_cast<size_t>(n) > maxi) {
            resultat = Lecture::TropGros;
            break;
        }
        contenu.append(tampon, static_cast<size_t>(n));
    }
    ::close(fd);
    if (resultat != Lecture::Ok)
        contenu.clear();
    return resultat;
}

std::string RaisonLecture(Lecture lecture)
{
    switch (lecture) {
    case Lecture::Ok:
        return "lu";
    case Lecture::Absent:
        return "il n'existe pas";
    case Lecture::Refusee:
        return "lecture non autorisée";
    case Lecture::PasUnFichier:
        return "c'est un dossier, un périphérique ou un tube, pas un fichier ordinaire";
    case Lecture::TropGros:
        return "il dépasse la taille maximale de " + std::to_string(TailleFichierMaxi >> 20) + " Mo";
    case Lecture::Erreur:
        break;
    }
    return "erreur de lecture";
}

std::string MessageLecture(const std::string& chemin, Lecture lecture)
{
    return "Impossible de lire le fichier " + chemin + " : " + RaisonLecture(lecture) + ".";
}

namespace {

    // Where a rewrite lands: the end of a chain of symbolic links, so the
    // links stay links. A relative target is taken from the link's folder.
    std::string CibleDesLiens(std::string chemin)
    {
        for (int saut = 0; saut < 40; ++saut) {
            struct stat st { };
            if (::lstat(chemin.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
                break;
            char cible[PATH_MAX];
            const ssize_t n = ::readlink(chemin.c_str(), cible, sizeof cible - 1);
            if (n <= 0)
                break;
            std::string suite(cible, static_cast<size_t>(n));
            const size_t barre = chemin.rfind('/');
            if (suite[0] != '/' && barre != std::string::npos)
                suite = chemin.substr(0, barre + 1) + suite;
            chemin = std::move(suite);
        }
        return chemin;
    }

    // A folder marked read-only is refused even to root, as a file is.
    bool DossierInscriptible(const std::string& chemin)
    {
        const size_t barre = chemin.rfind('/');
        const std::string dossier = barre == std::string::npos ? "." : chemin.substr(0, barre + 1);
        struct stat st { };
        return ::stat(dossier.c_str(), &st) == 0 && (st.st_mode & 0222) != 0;
    }

    bool EcrireTout(int fd, std::string_view contenu)
    {
        const char* p = contenu.data();
        size_t reste = contenu.size();
        while (reste > 0) {
            const ssize_t n = ::write(fd, p, reste);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            p += n;
            reste -= static_cast<size_t>(n);
        }
        return true;
    }

} // namespace

bool FichierAtomique::Ouvrir(const std::string& demande)
{
    Abandonner();
    chemin_ = CibleDesLiens(demande);
    // A file marked read-only is refused even to root, as the operator meant.
    struct stat ancien { };
    const bool existe = ::stat(chemin_.c_str(), &ancien) == 0;
    if (existe
        && (!S_ISREG(ancien.st_mode) || (ancien.st_mode & 0222) == 0 || ::access(chemin_.c_str(), W_OK) != 0))
        return false;
    if (!DossierInscriptible(chemin_))
        return false;
    temporaire_ = chemin_ + ".XXXXXX";
    fd_ = ::mkstemp(temporaire_.data());
    if (fd_ < 0)
        return false;
    // Keep the permissions an existing file had, else the usual ones.
    const mode_t mode = existe ? (ancien.st_mode & 07777) : 0644;
    ::fchmod(fd_, mode);
    return ok_ = true;
}

bool FichierAtomique::Ecrire(std::string_view morceau)
{
    ok_ = ok_ && EcrireTout(fd_, morceau);
    return ok_;
}

bool FichierAtomique::Terminer()
{
    if (fd_ < 0)
        return false;
    // On disk before it takes the old file's name, once for all the pieces.
    const bool ecrit = ok_ && ::fsync(fd_) == 0;
    const bool ferme = ::close(fd_) == 0;
    fd_ = -1;
    const bool ok = ecrit && ferme && ::rename(temporaire_.c_str(), chemin_.c_str()) == 0;
    if (!ok)
        ::unlink(temporaire_.c_str());
    ok_ = false;
    return ok;
}

void FichierAtomique::Abandonner()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    ::unlink(temporaire_.c_str());
    fd_ = -1;
    ok_ = false;
}

FichierAtomique::~FichierAtomique()
{
    Abandonner();
}

bool EcrireFichierAtomique(const std::string& chemin, std::string_view contenu)
{
    FichierAtomique fichier;
    return fichier.Ouvrir(chemin) && fichier.Ecrire(contenu) && fichier.Terminer();
}

bool CreerFichierNeuf(const std::string& chemin, std::string_view contenu)
{
    if (!DossierInscriptible(chemin))
        return false;
    const int fd = ::open(chemin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = EcrireTout(fd, contenu) && ::fsync(fd) == 0;
    if (::close(fd) != 0)
        ok = false;
    if (!ok)
        ::unlink(chemin.c_str());
    return ok;
}

} // namespace virmak
