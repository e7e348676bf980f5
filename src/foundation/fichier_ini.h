#pragma once
// Files of sections and keys. Names compare without regard to case. Every
// read sees the file as it is on disk (reloaded when it changed); every
// write rewrites the file at once through a temporary file and a rename.
// A batch groups several writes into one rewrite.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace virmak {

// "AvMax", 1 -> "AvMax(1)": the name of a per-axis or per-item key.
std::string CleIndexee(std::string_view base, int index);

class FichierIni {
public:
    FichierIni();
    ~FichierIni();
    FichierIni(const FichierIni&) = delete;
    FichierIni& operator=(const FichierIni&) = delete;

    void Ouvrir(const std::string& chemin);
    const std::string& Chemin() const { return chemin_; }

    std::string LireChaine(std::string_view section, std::string_view cle, std::string_view defaut);
    int32_t LireEntier(std::string_view section, std::string_view cle, int32_t defaut);
    bool LireBooleen(std::string_view section, std::string_view cle, bool defaut);
    double LireReel(std::string_view section, std::string_view cle, double defaut);
    bool CleExiste(std::string_view section, std::string_view cle);
    std::vector<std::string> Sections();

    // False when the file system refused; the operator has then been told
    // "Impossible d'écrire dans <chemin>" (once per batch).
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
    const char* Valeur(std::string_view section, std::string_view cle); // nullptr when absent
    bool Ecrire(std::string_view section, std::string_view cle, const std::string& valeur);
    bool Enregistrer();

    std::string chemin_;
    std::unique_ptr<Etat> etat_;
    int lot_ = 0;
    bool modifieDansLot_ = false;
    bool silencieux_ = false;
};

} // namespace virmak
