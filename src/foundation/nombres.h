#pragma once
// Locale-independent number helpers: the process locale may use a comma
// (Qt sets it from the environment), so nothing here goes through printf,
// strtod or iostreams.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace virmak {

// Nearest integer, halves to the even neighbour; saturates at the int32
// limits and gives 0 for NaN, so no caller meets undefined behaviour.
int32_t Arrondi(double valeur);
int64_t Arrondi64(double valeur);

// An overflowed result brought back to the largest finite double of its
// sign, so that huge program values saturate instead of becoming infinite.
inline double Sature(double valeur)
{
    constexpr double max = std::numeric_limits<double>::max();
    return valeur > max ? max : valeur < -max ? -max : valeur;
}

// Fixed notation with `decimales` digits after a point, right-aligned in
// `largeur` characters (wider values are not cut).
std::string FormatFixe(double valeur, int largeur, int decimales);

// Integer right-aligned in `largeur` characters.
std::string FormatEntier(int64_t valeur, int largeur);

// The same two forms appended to `texte`, without a string of their own.
void AjouterFixe(std::string& texte, double valeur, int largeur, int decimales);
void AjouterEntier(std::string& texte, int64_t valeur, int largeur);

// Text added to a string through a buffer of its own, in large blocks: the
// listing and trace lines, tens of thousands of fixed-width fields, are
// written without a call into the string for each. The string has it all
// after Vider or the destructor.
class TexteRapide {
public:
    explicit TexteRapide(std::string& texte)
        : texte_(texte)
    {
    }
    ~TexteRapide() { Vider(); }
    TexteRapide(const TexteRapide&) = delete;
    TexteRapide& operator=(const TexteRapide&) = delete;

    void Ajouter(std::string_view morceau)
    {
        // Labels and line ends: copied here, where their length is known.
        if (morceau.size() <= 16 && n_ + 16 <= sizeof tampon_) {
            std::memcpy(tampon_ + n_, morceau.data(), morceau.size());
            n_ += morceau.size();
        } else {
            AjouterLong(morceau);
        }
    }
    // As AjouterFixe and AjouterEntier (a width up to 1000).
    void Fixe(double valeur, int largeur, int decimales);
    void Entier(int64_t valeur, int largeur);
    void Vider();
    // Everything written: in the string and still in the buffer.
    std::size_t Taille() const { return texte_.size() + n_; }

private:
    void Assurer(std::size_t taille)
    {
        if (n_ + taille > sizeof tampon_)
            Vider();
    }
    void AjouterLong(std::string_view morceau);
    std::string& texte_;
    char tampon_[4096];
    std::size_t n_ = 0;
};

// Shortest general form with up to 15 significant digits and a point.
std::string FormatGeneral(double valeur);

// Reads a whole text as a decimal integer (optional sign) or as 0x
// hexadecimal; blanks around it are ignored. Empty, trailing junk or a
// value outside int32 give nothing.
std::optional<int32_t> LireEntierTexte(std::string_view texte);

// Reads a whole text as a finite real; a comma is taken as the decimal
// point. Empty, junk, NaN or infinity give nothing.
std::optional<double> LireReelTexte(std::string_view texte);

// Decimal separator of the regional settings in force for the process.
char SeparateurDecimalRegional();

} // namespace virmak
