#include "foundation/nombres.h"

#include <charconv>
#include <clocale>
#include <cmath>
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

    std::string Cadrer(std::string texte, int largeur)
    {
        if (static_cast<int>(texte.size()) < largeur)
            texte.insert(0, static_cast<size_t>(largeur) - texte.size(), ' ');
        return texte;
    }

} // namespace

std::string FormatFixe(double valeur, int largeur, int decimales)
{
    char tampon[400];
    auto [fin, err]
        = std::to_chars(tampon, tampon + sizeof tampon, valeur, std::chars_format::fixed, decimales);
    if (err != std::errc())
        return Cadrer("?", largeur);
    std::string texte(tampon, fin);
    // "-0.000" reads as a sign error to an operator.
    if (texte.front() == '-' && texte.find_first_not_of("-0.") == std::string::npos)
        texte.erase(0, 1);
    return Cadrer(texte, largeur);
}

std::string FormatEntier(int64_t valeur, int largeur)
{
    return Cadrer(std::to_string(valeur), largeur);
}

std::string FormatGeneral(double valeur)
{
    char tampon[64];
    auto [fin, err] = std::to_chars(tampon, tampon + sizeof tampon, valeur, std::chars_format::general, 15);
    if (err != std::errc())
        return "0";
    return std::string(tampon, fin);
}

namespace {

    std::string_view SansBlancs(std::string_view t)
    {
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
            t.remove_prefix(1);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
            t.remove_suffix(1);
        return t;
    }

} // namespace

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
