// The desktop program: the main window on a Qt event loop, the core on its
// machine thread.

#include "app/signaux.h"
#include "foundation/cn_varia.h"
#include "machine/choix_port.h"
#include "machine/in_out.h"
#include "pupitre/programme.h"
#include "ui/fenetre_principale.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

constexpr const char* TexteUsage
    = "usage : virmak [--rep DOSSIER] [--machine-virtuelle] [PROGRAMME]\n"
      "  --rep DOSSIER        dossier de configuration (CncParam.Ini, CncOutil.Ini...)\n"
      "  --machine-virtuelle  une machine simulée à la place du port parallèle, pour\n"
      "                       s'entraîner sans machine ; sans sortie affectée, elle\n"
      "                       prend le câblage usuel, en mémoire seulement\n"
      "  PROGRAMME            programme ISO chargé au démarrage\n"
      "  --help               cette aide\n"
      "  --version            la version\n"
      "\n"
      "Aide complète : menu Aide du programme (page « Premiers pas »), man virmak.\n";

struct Options {
    std::string programme;
    bool fin = false; // answered without a window
    int statut = 0;
};

// Read before any window system is touched, so that --help, --version and
// a mistyped option answer without a display.
Options LireOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(TexteUsage, stdout);
            o.fin = true;
            return o;
        }
        if (a == "--version") {
            std::printf("virmak %s\n", virmak::TexteVersion);
            o.fin = true;
            return o;
        }
        if (a == "--machine-virtuelle") {
            virmak::MachineVirtuelleDemandee = true;
        } else if (a == "--rep" && i + 1 < argc) {
            virmak::RepDemande = argv[++i];
        } else if (o.programme.empty() && !a.empty() && a[0] != '-') {
            std::error_code erreur;
            const auto absolu = std::filesystem::absolute(a, erreur);
            o.programme = erreur ? a : absolu.string();
        } else {
            if (a == "--rep")
                std::fprintf(stderr, "virmak : l'option --rep demande un dossier.\n");
            else if (!a.empty() && a[0] == '-')
                std::fprintf(stderr, "virmak : option inconnue : %s\n", a.c_str());
            else
                std::fprintf(stderr, "virmak : un seul programme à la fois : %s\n", a.c_str());
            std::fputs(TexteUsage, stderr);
            o.fin = true;
            o.statut = 2;
            return o;
        }
    }
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = LireOptions(argc, argv);
    if (options.fin)
        return options.statut;
    virmak::PreparerSignauxFermeture();
    virmak::ProtegerSortiesContreSignauxFataux();
    QApplication application(argc, argv);
    application.setApplicationName("virmak");
    // The operator reads French everywhere, the toolkit's own dialogs too.
    QTranslator traduction;
    if (traduction.load(
            QLocale(QLocale::French), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&traduction);
    virmak::RepExe = QCoreApplication::applicationDirPath().toStdString();
    virmak::TForm1 fenetre;
    virmak::InstallerSignauxFermeture(&fenetre);
    QObject::connect(&fenetre, &virmak::TForm1::DemarrageTermine, &fenetre, [&fenetre] { fenetre.show(); });
    if (!options.programme.empty()) {
        // As "Charger" would, right after the start-up.
        fenetre.Poster([chemin = options.programme] { virmak::ChargerProgramme(chemin); });
    }
    return application.exec();
}
