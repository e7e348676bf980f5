#pragma once
// The help in a window of the program: Qt's HTML viewer with its links,
// back and forward, the contents, and the desktop's browser offered for
// the page shown. It needs no browser.

#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace virmak {

class TForm1;

class TFormAide : public QWidget {
    Q_OBJECT
public:
    explicit TFormAide(TForm1* principale);

    // Shows the page at `chemin` (a file, with an optional "#anchor") and
    // brings the window to the front.
    void Montrer(const QString& chemin);

    QTextBrowser* Navigateur() const { return navigateur_; }

private:
    TForm1* principale_;
    QTextBrowser* navigateur_ = nullptr;
    QPushButton* precedent_ = nullptr;
    QPushButton* suivant_ = nullptr;
    bool place_ = false;
};

} // namespace virmak
