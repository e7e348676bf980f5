#pragma once
// Text as files hold it: lines end with LF or CR LF, and an older
// installation may have written Windows-1252 instead of UTF-8.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace virmak {

bool EstUtf8Valide(std::string_view octets);

// Without the spaces and tabs around it, nor a CR left at its end.
std::string_view SansBlancs(std::string_view texte);

// UTF-8 as is; anything else is taken as Windows-1252 and converted.
std::string DecoderLigne(std::string_view octets);

// What reading a whole file gave.
enum class Lecture { Ok, Absent, Refusee, PasUnFichier, TropGros, Erreur };

// Largest file read whole: far above any program the tables can hold.
inline constexpr size_t TailleFichierMaxi = size_t { 16 } << 20;

// The lines of a text as files hold them, one after the other: split at
// LF, a CR before the LF dropped, a final line without its end of line kept
// and no empty line added after a final one. A line that is not UTF-8 is
// taken as Windows-1252 and converted. Each line is a view, valid until the
// next one, into the text, into the reader's buffer or, for a converted
// line, into a buffer of its own: a long program is read without a string
// per line.
class LecteurLignes {
public:
    // A text already in memory.
    explicit LecteurLignes(std::string_view texte);
    // A file, opened by Ouvrir.
    LecteurLignes() = default;
    ~LecteurLignes();
    LecteurLignes(const LecteurLignes&) = delete;
    LecteurLignes& operator=(const LecteurLignes&) = delete;

    // Opens a file with the checks of LireFichier and reads it through once
    // to count its lines and look for NUL bytes; its lines are then read
    // again from the start, through one buffer of 64 KB (a longer line
    // enlarges it), so a file of any size takes no more memory than that.
    Lecture Ouvrir(const std::string& chemin, std::size_t maxi = TailleFichierMaxi);
    bool ContientNul() const { return nul_; }

    // False after the last line, or when the second reading of a file
    // failed (Etat says why).
    bool Suivante(std::string_view& ligne);
    // How many lines the whole text holds.
    std::size_t Nombre() const { return nombre_; }
    Lecture Etat() const { return etat_; }
    // Back to the first line; false when the file cannot be read again.
    bool Rembobiner();

private:
    bool Remplir();
    void Fermer();

    const char* donnees_ = nullptr; // the text, or the buffer's start
    std::size_t debut_ = 0, fin_ = 0; // the bytes not yet given
    std::size_t cherche_ = 0; // no LF before this one
    bool finTexte_ = true; // nothing more to read after fin_
    std::size_t nombre_ = 0;
    bool toutUtf8_ = true; // then no line needs a look of its own
    bool nul_ = false;
    Lecture etat_ = Lecture::Ok;
    int fd_ = -1;
    std::size_t taille_ = 0; // of the file at the first reading
    std::size_t restant_ = 0; // bytes of the file still to read
    std::string tampon_;
    std::string converti_;
};

// Every line of a text as LecteurLignes reads them.
std::vector<std::string> DecouperLignes(std::string_view contenu);

// Reads a whole regular file of at most `maxi` bytes. A device, a pipe or
// a folder is never opened for reading (a pipe would wait forever, a
// device never end), and the read stops past `maxi`, so it never
// allocates without bound. A file whose mode grants no reading is not
// read, even by root, as the operator meant.
Lecture LireFichier(const std::string& chemin, std::string& contenu, size_t maxi = TailleFichierMaxi);

// Why a read failed, in French, for the operator: "lecture non autorisée".
std::string RaisonLecture(Lecture lecture);

// "Impossible de lire le fichier CHEMIN : RAISON."
std::string MessageLecture(const std::string& chemin, Lecture lecture);

// Writes a whole file through a temporary file in the same folder renamed
// over the old one, so a crash or a full disk never leaves it truncated.
// A symbolic link is followed: its target is rewritten and the link stays.
// A file or folder whose mode grants no writing is refused, even to root.
bool EcrireFichierAtomique(const std::string& chemin, std::string_view contenu);

// The same write, the content given in pieces, so that a long file never
// sits whole in memory: Ouvrir, Ecrire as often as needed, Terminer. A file
// left unfinished (a step failed, or no Terminer) replaces nothing and
// leaves no temporary file.
class FichierAtomique {
public:
    FichierAtomique() = default;
    ~FichierAtomique();
    FichierAtomique(const FichierAtomique&) = delete;
    FichierAtomique& operator=(const FichierAtomique&) = delete;
    bool Ouvrir(const std::string& chemin);
    bool Ecrire(std::string_view morceau);
    bool Terminer();

private:
    void Abandonner();
    std::string chemin_, temporaire_;
    int fd_ = -1;
    bool ok_ = false;
};

// Creates a file that did not exist, never replacing one; false when the
// name is taken or the write failed (nothing is then left behind).
bool CreerFichierNeuf(const std::string& chemin, std::string_view contenu);

} // namespace virmak
