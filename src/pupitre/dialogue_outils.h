#pragma once
// The model of the tool dialog ("Définition des outils et correcteurs"):
// two grids over the tool table, confirmed into "CncOutil.Ini" and
// "Virmak.Out".

#include "iso/cn_outils.h"

#include <string>
#include <vector>

namespace virmak {

inline constexpr const char* TitreOutils = "Caractérisation des outils.";
inline constexpr const char* TitreCorDyn = "Correcteurs dynamiques";

// A string grid: row 0 holds the headings, column 0 the tool labels.
class Grille {
public:
    Grille(std::vector<int> largeurs, int rangees);
    int ColCount() const { return static_cast<int>(ColWidths.size()); }
    int RowCount() const { return rangees_; }
    std::string& Cells(int colonne, int rangee);
    const std::string& Cells(int colonne, int rangee) const;

    std::vector<int> ColWidths; // pixels

private:
    int rangees_;
    std::vector<std::string> cellules_;
};

// Model of the tool dialog.
struct FenetreOutils {
    std::string Caption = "Définition des outils et correcteurs";
    Grille StringGridOutils { { 25, 149, 50, 51 }, NbOutils + 1 };
    Grille StringGridCorDyn { { 25, 52, 51 }, NbOutils + 1 };
    int BtnAideTag = 31;
    bool Visible = false;

    // Fills both grids from TabOutils; run at creation and at every showing.
    void FormCreate();
    // Exports the table as it stands, takes the cells in and saves the
    // gauges. Either both files are written or neither is: on a refused
    // write the operator is told, the table is unchanged and the dialog
    // stays open (false).
    bool BitBtnOKClick();
    void BitBtnAnnulerClick();
    void BtnAideClick();
};

extern FenetreOutils FormCorrecteursOutils;

// Creation at start-up: hidden, filled from the table.
void CreerDialogueOutils();

// Main menu "Outils" -> "Correcteurs": shows the dialog, filled afresh
// unless it is already open.
void Correcteurs1Click();

// What a numeric cell gives: blanks ignored, point or comma, empty is 0;
// anything else that is not a number keeps `precedente`.
double LireCellule(const std::string& texte, double precedente);

} // namespace virmak
