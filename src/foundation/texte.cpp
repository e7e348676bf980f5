#include "foundation/texte.h"

#include <cerrno>
#include <cstdio>
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

std::vector<std::string> DecouperLignes(std::string_view contenu)
{
    std::vector<std::string> lignes;
    size_t debut = 0;
    while (debut < contenu.size()) {
        size_t fin = contenu.find('\n', debut);
        const bool derniere = fin == std::string_view::npos;
        if (derniere)
            fin = contenu.size();
        std::string_view ligne = contenu.substr(debut, fin - debut);
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.remove_suffix(1);
        lignes.push_back(DecoderLigne(ligne));
        debut = derniere ? contenu.size() : fin + 1;
    }
    return lignes;
}

bool LireFichier(const std::string& chemin, std::string& contenu)
{
    contenu.clear();
    std::FILE* f = std::fopen(chemin.c_str(), "rb");
    if (!f)
        return false;
    char tampon[65536];
    size_t lu = 0;
    while ((lu = std::fread(tampon, 1, sizeof tampon, f)) > 0)
        contenu.append(tampon, lu);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool EcrireFichierAtomique(const std::string& chemin, std::string_view contenu)
{
    // A file marked read-only is refused even to root, as the operator meant.
    struct stat ancien { };
    const bool existe = ::stat(chemin.c_str(), &ancien) == 0;
    if (existe
        && (!S_ISREG(ancien.st_mode) || (ancien.st_mode & 0222) == 0 || ::access(chemin.c_str(), W_OK) != 0))
        return false;
    std::string temporaire = chemin + ".XXXXXX";
    const int fd = ::mkstemp(temporaire.data());
    if (fd < 0)
        return false;
    // Keep the permissions an existing file had, else the usual ones.
    const mode_t mode = existe ? (ancien.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    const char* p = contenu.data();
    size_t reste = contenu.size();
    bool ok = true;
    while (reste > 0) {
        const ssize_t n = ::write(fd, p, reste);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        p += n;
        reste -= static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0)
        ok = false;
    if (::close(fd) != 0)
        ok = false;
    if (ok && ::rename(temporaire.c_str(), chemin.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(temporaire.c_str());
    return ok;
}

} // namespace virmak
