// The desktop program: the main window on a Qt event loop.

#include "foundation/cn_varia.h"
#include "ui/fenetre_principale.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage()
{
    std::fprintf(stderr, "usage : virmak [--rep DOSSIER]\n");
}

} // namespace

int main(int argc, char** argv)
{
    virmak::PreparerSignauxFermeture();
    QApplication application(argc, argv);
    application.setApplicationName("virmak");
    const QStringList arguments = application.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--rep" && i + 1 < arguments.size()) {
            virmak::RepDemande = arguments[++i].toStdString();
        } else if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        } else {
            Usage();
            return 2;
        }
    }
    virmak::RepExe = QCoreApplication::applicationDirPath().toStdString();
    virmak::TForm1 fenetre;
    virmak::InstallerSignauxFermeture(&fenetre);
    fenetre.show();
    return application.exec();
}
