#pragma once
// Start-up and shut-down of the main window: creation, activation, closing.

namespace virmak {

// Creation of the main window, then of the windows created after it.
void FormCreate();
// Every time the main window becomes active.
void FormActivate();
// Closing the main window (close box, "Quitter", end of session signal).
void FormClose();
void Quitter1Click();

// The three position readouts from PosMm.
void AfficherPositions();

} // namespace virmak
