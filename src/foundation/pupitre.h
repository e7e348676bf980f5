#pragma once
// The window model: the state of every control of the main window that the
// logic reads or writes, under the control's own name. The logic works on
// this model; the Qt window mirrors it, the tests read it.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace virmak {

struct Controle {
    std::string Texte; // caption or content
    std::string Conseil; // hint
    bool Actif = true;
    bool Visible = true;
    bool Sablier = false; // the hourglass over it while it works
};

struct Curseur {
    int Min = 0;
    int Max = 10;
    int Position = 0;
    int Frequence = 1; // tick spacing
    bool Actif = true;
    std::string Conseil;
    std::function<void()> SurChangement;

    // Clamps into [Min, Max]; runs the change handler when the position moved.
    void DefinirPosition(int position);
    void DefinirMin(int min);
    void DefinirMax(int max);
};

// The lines of a list, read as a vector of strings. Every change goes
// through here and takes a new revision number, so the window copies a long
// program or history only when it changed, and never compares it to know.
class LignesRevisees {
public:
    using const_iterator = std::vector<std::string>::const_iterator;
    using iterator = const_iterator; // read only: changes go through the members below

    // A copy takes numbers of its own: the two may then change apart. A
    // move carries them along, so a list moved away and back is the same.
    LignesRevisees();
    LignesRevisees(const LignesRevisees& autre);
    LignesRevisees(LignesRevisees&& autre) noexcept;
    LignesRevisees& operator=(const LignesRevisees& autre);
    LignesRevisees& operator=(LignesRevisees&& autre) noexcept;
    ~LignesRevisees() = default;

    // Both replace all the lines.
    LignesRevisees& operator=(std::vector<std::string> lignes);
    LignesRevisees& operator=(std::initializer_list<std::string> lignes);

    const std::vector<std::string>& Tout() const { return lignes_; }
    operator const std::vector<std::string>&() const { return lignes_; }
    size_t size() const { return lignes_.size(); }
    bool empty() const { return lignes_.empty(); }
    const std::string& operator[](size_t i) const { return lignes_[i]; }
    const std::string& front() const { return lignes_.front(); }
    const std::string& back() const { return lignes_.back(); }
    const_iterator begin() const { return lignes_.begin(); }
    const_iterator end() const { return lignes_.end(); }

    void Remplacer(size_t i, std::string ligne);
    void Inserer(size_t i, std::string ligne);
    void Supprimer(size_t i);
    void Ajouter(std::string ligne); // at the end
    void Vider();

    // Changes with every change of the lines; equal numbers, equal lines.
    uint64_t Revision() const { return revision_; }
    // Changes with every change but lines added at the end: while it holds,
    // the lines known before are still the first ones.
    uint64_t Refonte() const { return refonte_; }

    friend bool operator==(const LignesRevisees& a, const LignesRevisees& b)
    {
        return a.lignes_ == b.lignes_;
    }
    friend bool operator==(const LignesRevisees& a, const std::vector<std::string>& b)
    {
        return a.lignes_ == b;
    }

private:
    void Refondre();

    std::vector<std::string> lignes_;
    uint64_t revision_, refonte_; // never 0
};

struct Liste {
    LignesRevisees Lignes;
    int Selection = -1; // -1: none
    bool Actif = true;
    std::string Conseil;
    void Vider();
    void Ajouter(std::string ligne);
};

struct CaseACocher {
    std::string Texte;
    bool Cochee = false;
    bool Actif = true;
};

struct Jauge {
    int Max = 100;
    int Progression = 0;
    bool Visible = true;
};

struct Minuterie {
    bool Actif = false;
    int Intervalle = 250; // ms
};

struct Voyant {
    bool Allume = false;
};

struct Pupitre {
    std::string Caption;
    int Top = 5, Left = 5, Width = 800, Height = 575;
    bool Actif = true;

    // "Coordonnées programme"
    Controle StaticTextX, StaticTextY, StaticTextZ;
    Controle EditX, EditY, EditZ;
    Controle Raz_X, Raz_Y, Raz_Z;

    // "Commandes manuelles"
    Controle XPlus, XMoins, YPlus, YMoins, ZPlus, ZMoins;
    Controle BtBroche, XY_Zero, Z_Zero;
    Controle BtOrigine, BtPalpage;
    Liste CmbIncrement;
    Voyant LedBroche;

    // "Vitesse d'avance"
    Controle EditVitAv;
    Curseur TrackBarVitAv;
    Controle LabelAvMax;
    Curseur TrackBarTAv;
    Controle LabelTAv;
    Controle RapTextAv;

    // "Etat  machine"
    Voyant LedCycle, LedAxeOcc, LedJeu, LedPalOT, LedArret;
    Voyant LedButeeX, LedButeeY, LedButeeZ;
    Voyant LedG41, LedG42, LedG43, LedG81, LedG82, LedG83;

    // "Déplacements multiaxes manuels"
    Controle EditGoX, EditGoY, EditGoZ, GoXYZ;

    // "Messages machine"
    Controle MesEtat, MesRaz;

    // "Parcours outil"
    Controle ImageProg;
    int LargeurImage = 455, HauteurImage = 300;
    Controle BitBtnPiece, BitBtnParcoursOutil;
    Controle BitBtnZoomPlus, BitBtnZoomMoins;
    Controle BitBtnDecXMoins, BitBtnDEcXPlus, BitBtnDecYMoins, BitBtnDecYPlus;
    CaseACocher CheckBoxOT;

    // "Programme"
    Controle GroupBox5;
    Controle EditLigneProg;
    Liste ListBoxProg1;
    Controle BitBtnCharger, BitBtnEnregistrer, BitBtnCycle, BitBtnPasPas, BitBtnBloc, BitBtnPause;
    Controle BoutonArret;
    int BoutonArretTag = 0;
    Jauge GaugeProg;
    Controle LabelGaugeProg;
    CaseACocher CheckBoxSuiviPrg;
    Controle PanelInfo;

    Minuterie Timer1;

    // Folders the open and save dialogs start in.
    std::string RepOuverture, RepSauvegarde;

    // Back to the state of a freshly created window (design-time values).
    void Initialiser();
};

extern Pupitre Form1;

// The controls of each axis (X, Y, Z) with their names: the readout, its
// preset field and its reset button.
struct ControlesAxe {
    Controle Pupitre::*visue;
    const char* nomVisue;
    Controle Pupitre::*preset;
    const char* nomPreset;
    Controle Pupitre::*raz;
    const char* nomRaz;
};
inline constexpr ControlesAxe ControlesAxes[3] = {
    { &Pupitre::StaticTextX, "StaticTextX", &Pupitre::EditX, "EditX", &Pupitre::Raz_X, "Raz_X" },
    { &Pupitre::StaticTextY, "StaticTextY", &Pupitre::EditY, "EditY", &Pupitre::Raz_Y, "Raz_Y" },
    { &Pupitre::StaticTextZ, "StaticTextZ", &Pupitre::EditZ, "EditZ", &Pupitre::Raz_Z, "Raz_Z" },
};

// The machine message line MesEtat, repainted at once.
void DefinirMesEtat(const std::string& texte);

// GaugeProg and its label for the length of a long pass: shown with its
// label on creation, hidden and emptied on destruction. The gauge is
// repainted only when its shown percentage moves, so a long pass does not
// spend its time painting.
class ProgressionJauge {
public:
    ProgressionJauge(int maximum, const char* libelle);
    ~ProgressionJauge();
    ProgressionJauge(const ProgressionJauge&) = delete;
    ProgressionJauge& operator=(const ProgressionJauge&) = delete;
    void Avancer(int position);

private:
    int dernier_ = -1; // percentage last painted
};

} // namespace virmak
