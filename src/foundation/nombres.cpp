#include "foundation/nombres.h"

#include "foundation/texte.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>

namespace virmak {

int64_t Arrondi64(double valeur)
{
    if (std::isnan(valeur))
        return 0;
    constexpr double limite = 9.2e18;
    if (valeur >= limite)
        return std::numeric_limits<int64_t>::max();
    if (valeur <= -limite)
        return std::numeric_limits<int64_t>::min();
    // nearbyint honours the default rounding mode, which is to nearest-even.
    return static_cast<int64_t>(std::nearbyint(valeur));
}

double Sature(double valeur)
{
    constexpr double max = std::numeric_limits<double>::max();
    return valeur > max ? max : valeur < -max ? -max : valeur;
}

int32_t Arrondi(double valeur)
{
    const int64_t r = Arrondi64(valeur);
    if (r > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (r < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

namespace {

    // Fixed notation by integer arithmetic when that gives what to_chars
    // gives (the exact value rounded), which is most values in a listing:
    // the scaled value is far from a half, so the error of the scaling
    // cannot change its rounding. The digits end at the end of `tampon`,
    // right-aligned in `largeur` with spaces; a value that rounds to zero
    // has no sign ("-0.000" reads as a sign error to an operator). Empty
    // otherwise.
    std::string_view FixeRapide(char (&tampon)[400], double valeur, int largeur, int decimales)
    {
        if (decimales < 0 || decimales > 6 || largeur > 64)
            return {};
        static constexpr double Echelles[] = { 1, 10, 100, 1e3, 1e4, 1e5, 1e6 };
        const double echelle = Echelles[decimales];
        const double mise = std::fabs(valeur) * echelle;
        if (!(mise < 1e12))
            return {};
        const double entier = std::floor(mise);
        if (std::fabs(mise - entier - 0.5) < 1e-3)
            return {};
        auto n = static_cast<uint64_t>(entier) + (mise - entier > 0.5 ? 1 : 0);
        const bool negatif = std::signbit(valeur) && n != 0;
        char* fin = tampon + sizeof tampon;
        char* p = fin;
        for (int d = 0; d < decimales; ++d, n /= 10)
            *--p = static_cast<char>('0' + n % 10);
        if (decimales > 0)
            *--p = '.';
        do {
            *--p = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n > 0);
        if (negatif)
            *--p = '-';
        while (fin - p < largeur)
            *--p = ' ';
        return { p, static_cast<size_t>(fin - p) };
    }

} // namespace

void AjouterFixe(std::string& texte, double valeur, int largeur, int decimales)
{
    char tampon[400];
    if (const std::string_view champ = FixeRapide(tampon, valeur, largeur, decimales); !champ.empty()) {
        texte += champ;
        return;
    }
    auto [fin, err]
        = std::to_chars(tampon, tampon + sizeof tampon, valeur, std::chars_format::fixed, decimales);
    std::string_view chiffres = err == std::errc() ? std::string_view(tampon, fin - tampon) : "?";
    // "-0.000" reads as a sign error to an operator.
    if (chiffres.front() == '-' && chiffres.find_first_not_of("-0.") == std::string_view::npos)
        chiffres.remove_prefix(1);
    if (static_cast<int>(chiffres.size()) < largeur)
        texte.append(static_cast<size_t>(largeur) - chiffres.size(), ' ');
    texte += chiffres;
}

void AjouterEntier(std::string& texte, int64_t valeur, int largeur)
{
    char tampon[24];
    const auto fin = std::to_chars(tampon, tampon + sizeof tampon, valeur).ptr;
    if (fin - tampon < largeur)
        texte.append(static_cast<size_t>(largeur - (fin - tampon)), ' ');
    texte.append(tampon, fin);
}

std::string FormatFixe(double valeur, int largeur, int decimales)
{
    std::string texte;
    AjouterFixe(texte, valeur, largeur, decimales);
    return texte;
}

std::string FormatEntier(int64_t valeur, int largeur)
{
    std::string texte;
    AjouterEntier(texte, valeur, largeur);
    return texte;
}

std::string FormatGeneral(double valeur)
{
    char tampon[64];
    auto [fin, err] = std::to_chars(tampon, tampon + sizeof tampon, valeur, std::chars_format::general, 15);
    if (err != std::errc())
        return "0";
    return std::string(tampon, fin);
}

std::optional<int32_t> LireEntierTexte(std::string_view texte)
{
    texte = SansBlancs(texte);
    bool negatif = false;
    if (!texte.empty() && (texte.front() == '-' || texte.front() == '+')) {
        negatif = texte.front() == '-';
        texte.remove_prefix(1);
    }
    int base = 10;
    if (texte.size() > 2 && texte[0] == '0' && (texte[1] == 'x' || texte[1] == 'X')) {
        base = 16;
        texte.remove_prefix(2);
    }
    if (texte.empty() || texte.front() == '-' || texte.front() == '+')
        return std::nullopt;
    int64_t valeur = 0;
    auto [fin, err] = std::from_chars(texte.data(), texte.data() + texte.size(), valeur, base);
    if (err != std::errc() || fin != texte.data() + texte.size())
        return std::nullopt;
    if (negatif)
        valeur = -valeur;
    if (valeur < std::numeric_limits<int32_t>::min() || valeur > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(valeur);
}

std::optional<double> LireReelTexte(std::string_view texte)
{
    texte = SansBlancs(texte);
    if (texte.empty())
        return std::nullopt;
    std::string copie(texte);
    for (char& c : copie)
        if (c == ',')
            c = '.';
    const char* debut = copie.data();
    if (*debut == '+') {
        ++debut;
        if (*debut == '+' || *debut == '-')
            return std::nullopt;
    }
    double valeur = 0;
    auto [fin, err] = std::from_chars(debut, copie.data() + copie.size(), valeur, std::chars_format::general);
    if (err != std::errc() || fin != copie.data() + copie.size() || !std::isfinite(valeur))
        return std::nullopt;
    return valeur;
}

char SeparateurDecimalRegional()
{
    const std::lconv* lc = std::localeconv();
    if (lc && lc->decimal_point && lc->decimal_point[0])
        return lc->decimal_point[0];
    return '.';
}

} // namespace virmak
