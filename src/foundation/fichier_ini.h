#pragma once
// Files of sections and keys. Names compare without regard to case. Every
// read sees the file as it is on disk (reloaded when it changed); every
// write rewrites the file at once through a temporary file and a rename,
// changing only the lines of the keys written: comments, order and blank
// lines of a hand-edited file stay. A batch groups several writes into one
// rewrite.
//
// Nothing already on disk is lost: a file that exists but cannot be read
// is never written during the run; a file that is not text is copied aside
// (NAME.illisible, NAME.illisible.2, ...) before the first rewrite, or
// never written when it cannot be. The operator is told once, in French.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace virmak {

// Counts the key files' changes written to disk: what was computed from
// them (the machining time) is out of date when it moves.
extern uint64_t RevisionCles;

// "AvMax", 1 -> "AvMax(1)": the name of a per-axis or per-item key.
std::string CleIndexee(std::string_view base, int index);

class FichierIni {
public:
    FichierIni();
    ~FichierIni();
    FichierIni(const FichierIni&) = delete;
    FichierIni& operator=(const FichierIni&) = delete;

    // `lectureSeule`: every write is refused without a word, and the file
    // is read once, at the first read (virmak-cli).
    void Ouvrir(const std::string& chemin, bool lectureSeule = false);
    const std::string& Chemin() const { return chemin_; }
    // The file is there but its content could not be taken (unreadable or
    // not text): every value is its default.
    bool Illisible() const { return illisible_; }

    std::string LireChaine(std::string_view section, std::string_view cle, std::string_view defaut);
    int32_t LireEntier(std::string_view section, std::string_view cle, int32_t defaut);
    bool LireBooleen(std::string_view section, std::string_view cle, bool defaut);
    double LireReel(std::string_view section, std::string_view cle, double defaut);
    bool CleExiste(std::string_view section, std::string_view cle);
    std::vector<std::string> Sections();

    // Numbers outside their range (plages_cles.h) give the default.
    // False when the file system refused; the operator has then been told
    // "Impossible d'écrire dans <chemin>", once for the same content (a
    // save repeated at shut-down is not said twice). Line breaks and NUL in
    // a value become spaces, so no value can add keys or sections.
    bool EcrireChaine(std::string_view section, std::string_view cle, std::string_view valeur);
    bool EcrireEntier(std::string_view section, std::string_view cle, int32_t valeur);
    bool EcrireBooleen(std::string_view section, std::string_view cle, bool valeur);
    bool EcrireReel(std::string_view section, std::string_view cle, double valeur);

    // Writes between the two reach the file together at FinLot, which says
    // whether they were written. Batches nest; the outermost one writes.
    void DebutLot();
    bool FinLot();

    // When set, a refused write is not reported to the operator: the caller
    // reports it in its own words.
    void SilencieuxEnEchec(bool silencieux) { silencieux_ = silencieux; }

private:
    struct Etat;
    void Recharger();
    void MettreDeCote(const std::string& contenu);
    void Proteger(const std::string& raison);
    const char* Valeur(std::string_view section, std::string_view cle); // nullptr when absent
    bool DansPlage(std::string_view section, std::string_view cle, double valeur, double defaut);
    bool Ecrire(std::string_view section, std::string_view cle, std::string valeur);
    bool Enregistrer();

    std::string chemin_;
    std::unique_ptr<Etat> etat_;
    int lot_ = 0;
    bool modifieDansLot_ = false;
    bool silencieux_ = false;
    bool lectureSeule_ = false;
    // The file is there but could not be read or set aside: not written.
    bool protege_ = false;
    bool illisible_ = false;
    std::string dernierRefus_; // content whose refusal was already said
};

} // namespace virmak
