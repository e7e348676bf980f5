// The desktop program: the main window on a Qt event loop.

#include "foundation/cn_varia.h"
#include "ui/fenetre_principale.h"

#include "iso/traite_prog.h"
#include "pupitre/programme.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage()
{
    std::fprintf(stderr, "usage : virmak [--rep DOSSIER] [PROGRAMME]\n");
}

} // namespace

int main(int argc, char** argv)
{
    virmak::PreparerSignauxFermeture();
    QApplication application(argc, argv);
    application.setApplicationName("virmak");
    // The operator reads French everywhere, the toolkit's own dialogs too.
    QTranslator traduction;
    if (traduction.load(
            QLocale(QLocale::French), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&traduction);
    const QStringList arguments = application.arguments();
    QString programme;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--rep" && i + 1 < arguments.size()) {
            virmak::RepDemande = arguments[++i].toStdString();
        } else if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        } else if (programme.isEmpty() && !a.startsWith('-')) {
            programme = QFileInfo(a).absoluteFilePath();
        } else {
            Usage();
            return 2;
        }
    }
    virmak::RepExe = QCoreApplication::applicationDirPath().toStdString();
    virmak::TForm1 fenetre;
    virmak::InstallerSignauxFermeture(&fenetre);
    fenetre.show();
    if (!programme.isEmpty()) {
        // As "Charger" would, once the window stands.
        const std::string chemin = programme.toStdString();
        QTimer::singleShot(0, &fenetre, [&fenetre, chemin] {
            virmak::ChargerProgramme(chemin);
            fenetre.Synchroniser();
        });
    }
    return application.exec();
}
