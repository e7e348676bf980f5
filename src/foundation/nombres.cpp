#include "foundation/nombres.h"

#include "foundation/texte.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
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

    int NombreDeChiffres(uint64_t n)
    {
        int chiffres = 1;
        for (uint64_t p = 10; n >= p && chiffres < 19; p *= 10)
            ++chiffres;
        return n >= 10000000000000000000ULL ? 20 : chiffres;
    }

    // `blancs` spaces, a minus sign when asked, then the `chiffres` digits
    // of n (zeros in front when it has fewer) with a point before the last
    // `decimales`. Written straight at p, without an intermediate buffer;
    // returns the end.
    char* Ecrire(char* p, int blancs, bool negatif, uint64_t n, int chiffres, int decimales)
    {
        for (int i = 0; i < blancs; ++i)
            *p++ = ' ';
        if (negatif)
            *p++ = '-';
        char* fin = p + chiffres + (decimales > 0 ? 1 : 0);
        char* q = fin;
        for (int d = 0; d < decimales; ++d, n /= 10)
            *--q = static_cast<char>('0' + n % 10);
        if (decimales > 0)
            *--q = '.';
        while (q > p) {
            *--q = static_cast<char>('0' + n % 10);
            n /= 10;
        }
        return fin;
    }

    char* Aligner(char* p, int largeur, std::string_view champ)
    {
        for (int i = static_cast<int>(champ.size()); i < largeur; ++i)
            *p++ = ' ';
        std::memcpy(p, champ.data(), champ.size());
        return p + champ.size();
    }

    // Fixed notation by integer arithmetic when that gives what to_chars
    // gives (the exact value rounded), which is most values in a listing:
    // the scaled value is far from a half, so the error of the scaling
    // cannot change its rounding. A value that rounds to zero has no sign.
    // Written at p, right-aligned in `largeur`; nullptr otherwise.
    char* FixeRapide(char* p, double valeur, int largeur, int decimales)
    {
        if (decimales < 0 || decimales > 6)
            return nullptr;
        static constexpr double Echelles[] = { 1, 10, 100, 1e3, 1e4, 1e5, 1e6 };
        const double mise = std::fabs(valeur) * Echelles[decimales];
        if (!(mise < 1e12))
            return nullptr;
        // Below 1e12 the truncation is the floor, exactly.
        const auto entier = static_cast<int64_t>(mise);
        const double reste = mise - static_cast<double>(entier);
        if (std::fabs(reste - 0.5) < 1e-3)
            return nullptr;
        const auto n = static_cast<uint64_t>(entier + (reste > 0.5 ? 1 : 0));
        const bool negatif = std::signbit(valeur) && n != 0;
        const int chiffres = std::max(NombreDeChiffres(n), decimales + 1);
        const int longueur = chiffres + (decimales > 0 ? 1 : 0) + (negatif ? 1 : 0);
        return Ecrire(p, std::max(largeur - longueur, 0), negatif, n, chiffres, decimales);
    }

} // namespace

void TexteRapide::Vider()
{
    texte_.append(tampon_, n_);
    n_ = 0;
}

void TexteRapide::AjouterLong(std::string_view morceau)
{
    if (morceau.size() > sizeof tampon_ / 2) {
        Vider();
        texte_ += morceau;
        return;
    }
    Assurer(morceau.size());
    std::memcpy(tampon_ + n_, morceau.data(), morceau.size());
    n_ += morceau.size();
}

void TexteRapide::Fixe(double valeur, int largeur, int decimales)
{
    largeur = std::clamp(largeur, 0, 1000);
    Assurer(static_cast<size_t>(largeur) + 400);
    if (char* fin = FixeRapide(tampon_ + n_, valeur, largeur, decimales)) {
        n_ = static_cast<size_t>(fin - tampon_);
        return;
    }
    char chiffres[400];
    auto [fin, err]
        = std::to_chars(chiffres, chiffres + sizeof chiffres, valeur, std::chars_format::fixed, decimales);
    std::string_view champ = err == std::errc() ? std::string_view(chiffres, fin - chiffres) : "?";
    // "-0.000" reads as a sign error to an operator.
    if (champ.front() == '-' && champ.find_first_not_of("-0.") == std::string_view::npos)
        champ.remove_prefix(1);
    n_ = static_cast<size_t>(Aligner(tampon_ + n_, largeur, champ) - tampon_);
}

void TexteRapide::Entier(int64_t valeur, int largeur)
{
    largeur = std::clamp(largeur, 0, 1000);
    Assurer(static_cast<size_t>(largeur) + 24);
    const bool negatif = valeur < 0;
    // The magnitude without overflow, INT64_MIN included.
    const uint64_t n = negatif ? 0 - static_cast<uint64_t>(valeur) : static_cast<uint64_t>(valeur);
    const int chiffres = NombreDeChiffres(n);
    const int longueur = chiffres + (negatif ? 1 : 0);
    n_ = static_cast<size_t>(
        Ecrire(tampon_ + n_, std::max(largeur - longueur, 0), negatif, n, chiffres, 0) - tampon_);
}

void AjouterFixe(std::string& texte, double valeur, int largeur, int decimales)
{
    TexteRapide t(texte);
    t.Fixe(valeur, largeur, decimales);
}

void AjouterEntier(std::string& texte, int64_t valeur, int largeur)
{
    TexteRapide t(texte);
    t.Entier(valeur, largeur);
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
