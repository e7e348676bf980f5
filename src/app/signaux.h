#pragma once
// SIGTERM, SIGINT and SIGHUP (the terminal closing) close the desktop
// program as its close box does.

namespace virmak {

class TForm1;

// From the very start of main: the handler only writes to a socket, so a
// signal that comes during start-up waits there until the window listens.
void PreparerSignauxFermeture();
// The window reads the socket from its event loop and closes.
void InstallerSignauxFermeture(TForm1* fenetre);

} // namespace virmak
