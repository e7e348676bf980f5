#pragma once
// One analysed ISO block, carrying the whole modal state at its end.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace virmak {

inline constexpr int32_t MSlotVide = 999;

// The text of a comment, shared by the records that carry it: a comment
// stays in force over many blocks, and copying a record then copies a
// pointer instead of allocating the text again. The text never changes once
// made. Records are used on the machine thread only, so the count is a
// plain integer.
class TexteCommentaire {
public:
    TexteCommentaire() = default;
    explicit TexteCommentaire(std::string_view texte);
    TexteCommentaire(const TexteCommentaire& autre) noexcept
        : bloc_(autre.bloc_)
    {
        if (bloc_)
            ++bloc_->compte;
    }
    TexteCommentaire(TexteCommentaire&& autre) noexcept
        : bloc_(std::exchange(autre.bloc_, nullptr))
    {
    }
    TexteCommentaire& operator=(const TexteCommentaire& autre) noexcept
    {
        if (autre.bloc_)
            ++autre.bloc_->compte;
        Lacher();
        bloc_ = autre.bloc_;
        return *this;
    }
    TexteCommentaire& operator=(TexteCommentaire&& autre) noexcept
    {
        if (this != &autre) {
            Lacher();
            bloc_ = std::exchange(autre.bloc_, nullptr);
        }
        return *this;
    }
    ~TexteCommentaire() { Lacher(); }

    operator std::string_view() const noexcept
    {
        return bloc_ ? std::string_view(reinterpret_cast<const char*>(bloc_ + 1), bloc_->taille)
                     : std::string_view();
    }
    bool empty() const noexcept { return !bloc_; }
    friend bool operator==(const TexteCommentaire& a, std::string_view b) noexcept
    {
        return std::string_view(a) == b;
    }
    friend bool operator==(const TexteCommentaire& a, const TexteCommentaire& b) noexcept
    {
        return a.bloc_ == b.bloc_ || std::string_view(a) == std::string_view(b);
    }

private:
    struct Bloc {
        std::size_t compte;
        std::size_t taille; // the characters follow the block
    };
    void Lacher() noexcept
    {
        if (bloc_ && --bloc_->compte == 0)
            Liberer(bloc_);
    }
    static void Liberer(Bloc* bloc) noexcept;
    Bloc* bloc_ = nullptr; // none for an empty text
};

// Fields from the largest down, so the record has no holes: 208 bytes, and
// a table of 30 000 records fills 6 MB instead of 8.4.
struct LigneProg {
    double X = 0, Y = 0, Z = 0; // end point, mm, absolute
    double I = 0, J = 0, K = 0; // arc centre, mm, absolute
    double XCycle = 0, YCycle = 0, ZCycle = 0; // hole position and bottom
    double Avance = 0; // F word x unit factor, whole mm/min
    double CorRayon = 0; // -1 G41, +1 G42, 0 G40; then signed offset
    double P = 0, Q = 0, R = 0; // drilling-cycle words
    TexteCommentaire Commentaire; // last comment met
    int32_t NumBloc = 0; // N word
    int32_t VitBroche = 0; // S word
    int32_t NumOutil = 0; // T word
    std::array<int32_t, 11> CodeM {}; // [1..10] M words in order, 999 = empty
    std::array<int16_t, 11> CodeG {}; // [0] motion 0..3, [1] cycle 0/81/82/83
    uint16_t IndexLigne = 0; // program list line that produced it
    uint16_t NumSegment = 0; // XY segment number
    bool CorLongueur = false; // G43 on, G49 off
    bool CentresRelatifs = false; // G91.1 on, G90.1 off: I, J are written from the start point
};

} // namespace virmak
