#include "iso/analyse_ligne.h"

#include "foundation/cn_varia.h"
#include "foundation/nombres.h"
#include "foundation/vue.h"
#include "iso/geometrie.h"

#include <algorithm>
#include <limits>

namespace virmak {

namespace {

    constexpr double ReelMax = std::numeric_limits<double>::max();
    constexpr int32_t EntierMax = std::numeric_limits<int32_t>::max();
    constexpr std::size_t NbSlotsM = 11;

    bool EstChiffre(char c)
    {
        return c >= '0' && c <= '9';
    }

    bool EstDeReel(char c)
    {
        return EstChiffre(c) || c == '+' || c == '-' || c == '.';
    }

    // ASCII only: bytes of other encodings must not reach the C library's
    // classification, which is undefined for negative chars.
    char Majuscule(char c)
    {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }

    // Exact powers of ten as doubles.
    constexpr double PuissancesDix[]
        = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15 };
    constexpr std::size_t ChiffresExacts = 15; // 10^15 < 2^53: the mantissa is an exact double

    // Value of the longest leading part of `run` of the form [sign] digits
    // [. digits]; `fin` receives where that part ends.
    double ValeurReel(std::string_view run, std::size_t& fin)
    {
        std::size_t i = 0;
        const bool negatif = !run.empty() && run[0] == '-';
        if (!run.empty() && (run[0] == '-' || run[0] == '+'))
            ++i;
        const std::size_t debutEntier = i;
        uint64_t mantisse = 0;
        std::size_t nbChiffres = 0, nbDecimales = 0;
        for (; i < run.size() && EstChiffre(run[i]); ++i, ++nbChiffres)
            if (nbChiffres < ChiffresExacts)
                mantisse = mantisse * 10 + static_cast<uint64_t>(run[i] - '0');
        const std::size_t finEntier = i;
        if (i < run.size() && run[i] == '.')
            for (++i; i < run.size() && EstChiffre(run[i]); ++i, ++nbChiffres, ++nbDecimales)
                if (nbChiffres < ChiffresExacts)
                    mantisse = mantisse * 10 + static_cast<uint64_t>(run[i] - '0');
        fin = i;
        if (nbChiffres == 0)
            return 0.0;
        if (nbChiffres <= ChiffresExacts) {
            // Both operands are exact, so the one rounding of the division gives
            // the correctly rounded value, as the full conversion would; this
            // covers every coordinate a program writes, at a fraction of the cost.
            const double v = static_cast<double>(mantisse) / PuissancesDix[nbDecimales];
            return (negatif ? -v : v) + 0.0; // no signed zero: "X-0" must not list as -0
        }
        if (const auto valeur = LireReelTexte(run.substr(0, i)))
            return *valeur + 0.0;
        // Out of range: too large when the whole part has a significant digit,
        // too small otherwise.
        const bool grand = run.substr(debutEntier, finEntier - debutEntier).find_first_not_of('0')
            != std::string_view::npos;
        if (!grand)
            return 0.0;
        return negatif ? -ReelMax : ReelMax;
    }

    // A length word in millimetres; the inch factor must not carry a saturated
    // value past the largest double.
    double Longueur(double valeur)
    {
        return Sature(valeur * FacteurUnite);
    }

    // The words that place an arc's centre, in millimetres as written.
    struct MotsCentre {
        bool I = false, J = false, R = false;
        double i = 0, j = 0, r = 0;
    };

    // After the G word's number, ".1" (or ".10"...) makes G90.1 and G91.1; any
    // other decimals are skipped by the main loop, as for every G word.
    bool DecimaleUn(std::string_view ligne, std::size_t& position)
    {
        const std::size_t point = position; // 0-based index after the digits
        if (point >= ligne.size() || ligne[point] != '.')
            return false;
        std::size_t fin = point + 1;
        while (fin < ligne.size() && EstChiffre(ligne[fin]))
            ++fin;
        const std::string_view decimales = ligne.substr(point + 1, fin - point - 1);
        if (decimales.empty() || decimales[0] != '1'
            || decimales.find_first_not_of('0', 1) != std::string_view::npos)
            return false;
        position = fin;
        return true;
    }

    DefautBloc PlacerCentre(const MotsCentre& mots, PointXY debut, LigneProg& r)
    {
        const bool arc = r.CodeG[0] == 2 || r.CodeG[0] == 3;
        if (arc && mots.R && !mots.I && !mots.J) {
            r.R = 0;
            const PointXY fin { r.X, r.Y };
            if (fin == debut)
                return DefautBloc::ArcRayonSansLongueur;
            const std::optional<PointXY> centre = CentreArcRayon(debut, fin, mots.r, r.CodeG[0] == 2);
            if (!centre)
                return DefautBloc::ArcRayonTropCourt;
            r.I = centre->X;
            r.J = centre->Y;
        } else if (r.CentresRelatifs) {
            if (mots.I || arc)
                r.I = Sature(debut.X + mots.i);
            if (mots.J || arc)
                r.J = Sature(debut.Y + mots.j);
        }
        return DefautBloc::Aucun;
    }

    // The comment's text as a view into the line; the position moves to its
    // last character, and stays when the comment is empty.
    std::string_view TexteLu(std::string_view ligne, std::size_t& position)
    {
        const std::size_t debut = position;
        std::size_t fin = debut;
        while (fin < ligne.size() && ligne[fin] != ')' && ligne[fin] != '}')
            ++fin;
        if (fin == debut)
            return {};
        position = fin;
        return ligne.substr(debut, fin - debut);
    }

    void Avertir(const char* texte)
    {
        if (MesAvert)
            VueActive().Message(texte);
    }

    bool CycleActif(const LigneProg& r)
    {
        return r.CodeG[1] >= 81 && r.CodeG[1] <= 83;
    }

    // Every test that matches acts, in this order: the unit codes come from the
    // configuration and may coincide with the others.
    void AppliquerG(int32_t n, LigneProg& r)
    {
        if (n >= 0 && n <= 3) {
            r.CodeG[0] = static_cast<int16_t>(n);
            r.P = r.Q = r.R = 0;
        }
        if (n == 40)
            r.CorRayon = 0.0;
        if (n == 41)
            r.CorRayon = -1.0;
        if (n == 42)
            r.CorRayon = 1.0;
        if (n == 43)
            r.CorLongueur = true;
        if (n == 49)
            r.CorLongueur = false;
        if (n == 80) {
            r.CodeG[1] = 0;
            r.P = r.Q = r.R = 0;
            r.XCycle = r.YCycle = r.ZCycle = 0;
        }
        if (n >= 81 && n <= 83) {
            r.CodeG[0] = 0;
            r.CodeG[1] = static_cast<int16_t>(n);
        }
        if (n == PrgPou)
            FacteurUnite = 25.4;
        if (n == PrgMet)
            FacteurUnite = 1.0;
    }

} // namespace

int32_t LireEntier(std::string_view ligne, std::size_t& position)
{
    // 0-based, the index of the character after the letter is the letter's
    // 1-based position; a run of no digit leaves the position unchanged.
    std::size_t i = position;
    int64_t valeur = 0;
    for (; i < ligne.size() && EstChiffre(ligne[i]); ++i)
        valeur = std::min<int64_t>(valeur * 10 + (ligne[i] - '0'), EntierMax);
    position = i;
    return static_cast<int32_t>(valeur);
}

double LireReel(std::string_view ligne, std::size_t& position)
{
    if (position >= ligne.size())
        return 0.0;
    std::size_t fin = 0;
    const double valeur = ValeurReel(ligne.substr(position), fin);
    // What follows the number's valid part still belongs to its run.
    fin += position;
    while (fin < ligne.size() && EstDeReel(ligne[fin]))
        ++fin;
    position = fin;
    return valeur;
}

void LireCommentaire(std::string_view ligne, std::size_t& position, std::string& texte)
{
    texte.assign(TexteLu(ligne, position));
}

DefautBloc AnalyseLigne(std::string_view ligne, const LigneProg& precedente, LigneProg& resultat)
{
    const PointXY debut { precedente.X, precedente.Y };
    MotsCentre mots;
    if (&resultat != &precedente)
        resultat = precedente;
    LigneProg& r = resultat;
    // Arcs are not modal: a block without its own G2 or G3 is linear.
    if (r.CodeG[0] == 2 || r.CodeG[0] == 3)
        r.CodeG[0] = 1;
    r.CodeM.fill(MSlotVide);
    std::size_t slotM = 1;

    for (std::size_t pos = 1; pos <= ligne.size(); ++pos) {
        switch (Majuscule(ligne[pos - 1])) {
        case '(':
        case ';':
        case '{':
            r.Commentaire = TexteCommentaire(TexteLu(ligne, pos));
            break;
        case 'D':
            LireEntier(ligne, pos);
            Avertir(TexteCodeD);
            break;
        case 'H':
            LireEntier(ligne, pos);
            Avertir(TexteCodeH);
            break;
        case 'F':
            r.Avance = static_cast<double>(Arrondi64(LireEntier(ligne, pos) * FacteurUnite));
            break;
        case 'G': {
            const int32_t n = LireEntier(ligne, pos);
            if ((n == 90 || n == 91) && DecimaleUn(ligne, pos))
                r.CentresRelatifs = n == 91;
            else
                AppliquerG(n, r);
            break;
        }
        case 'I':
            r.I = mots.i = Longueur(LireReel(ligne, pos));
            mots.I = true;
            break;
        case 'J':
            r.J = mots.j = Longueur(LireReel(ligne, pos));
            mots.J = true;
            break;
        case 'K':
            r.K = Longueur(LireReel(ligne, pos));
            break;
        case 'M': {
            const int32_t n = LireEntier(ligne, pos);
            // A block keeps its first ten M words; more have no slot.
            if (slotM < NbSlotsM)
                r.CodeM[slotM++] = n;
            break;
        }
        case 'N':
            r.NumBloc = LireEntier(ligne, pos);
            break;
        case 'P': {
            // G82's dwell is a time, not a length.
            const double v = LireReel(ligne, pos);
            r.P = r.CodeG[1] == 82 ? v : Longueur(v);
            break;
        }
        case 'Q':
            r.Q = Longueur(LireReel(ligne, pos));
            break;
        case 'R':
            r.R = mots.r = Longueur(LireReel(ligne, pos));
            mots.R = true;
            break;
        case 'S':
            r.VitBroche = LireEntier(ligne, pos);
            break;
        case 'T':
            r.NumOutil = LireEntier(ligne, pos);
            break;
        case 'X':
            r.X = Longueur(LireReel(ligne, pos));
            if (CycleActif(r))
                r.XCycle = r.X;
            break;
        case 'Y':
            r.Y = Longueur(LireReel(ligne, pos));
            if (CycleActif(r))
                r.YCycle = r.Y;
            break;
        case 'Z': {
            const double z = Longueur(LireReel(ligne, pos));
            if (CycleActif(r))
                r.ZCycle = z;
            else
                r.Z = z;
            break;
        }
        default:
            break;
        }
    }
    return PlacerCentre(mots, debut, r);
}

} // namespace virmak
