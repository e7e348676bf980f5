#pragma once
// Start-up and shut-down of the main window: creation, activation, closing.

namespace virmak {

// What a process starts for: the machine, or only analysing programs
// (virmak-cli analyse, programme, parcours), which leaves out the
// calibration of the step timing.
enum class Usage { Machine, AnalyseSeule };

// The start-up load of the configuration and reset of the machine state,
// every layer's part in its order.
void ChargerConfiguration(Usage usage = Usage::Machine);

// Opens the port the configuration asks for when it changed; a refusal is
// shown once.
void OuvrirPort();

// Creation of the main window.
void FormCreate(Usage usage = Usage::Machine);
// The windows created after it, hidden: parameters dialog, tool dialog,
// history window, About box (shown at once while the safety warnings are
// not acknowledged).
void CreerFenetresSecondaires();
// Every time the main window becomes active.
void FormActivate();
// Closing the main window (close box, "Quitter", end of session signal).
void FormClose();
void Quitter1Click();

// The frame of the main window moved or was resized; kept for "FORM1".
void MemoriserBornes(int left, int top, int width, int height);

// The three position readouts from PosMm.
void AfficherPositions();

} // namespace virmak
