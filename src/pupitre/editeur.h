#pragma once
// The line editor of the program list: the line field EditLigneProg, the
// list's double click and its context menu. The list is the program's text
// until the next analysis; an edit never touches TabProg, it only leaves
// the program to analyse again before it is drawn, run or saved.

namespace virmak {

inline constexpr const char* TextePasDeBloc = "Pas de bloc sélectionné !";
inline constexpr int ToucheEntree = 13;

// The analysis, the tool path and the zoom no longer match the list.
void InvaliderProgramme();

// Double click on the list: the selected line into the line field.
void ListBoxProg1DblClick();
// A key in the line field; only Enter acts: the selected line becomes the
// field's text, or the text is added at the end when no line is selected.
void EditLigneProgKeyPress(int touche);

// The list's context menu, on the line already selected.
void Editerbloc1Click();
void Insrerbloc1Click();
void Supprimerbloc1Click();
// "Démarrer à ce bloc": a run from the selected line, as Cycle would start
// one, with no run in progress.
void DemarrerBlocClick();

} // namespace virmak
