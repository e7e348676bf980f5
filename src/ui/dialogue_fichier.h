#pragma once
// The program's file dialogs: Qt's own rather than the desktop's, so they
// speak French with Qt's translations whatever the session's language, and
// show the dates of the files in French too.

class QFileDialog;

namespace virmak {

// Makes `dialogue` Qt's own dialog, its dates in French.
void PreparerDialogueFichier(QFileDialog* dialogue);

} // namespace virmak
