#include "app/signaux.h"

#include "ui/fenetre_principale.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace virmak {

namespace {
    int tubeSignaux[2] = { -1, -1 };

    void GestionnaireSignal(int)
    {
        const char octet = 1;
        [[maybe_unused]] auto n = ::write(tubeSignaux[1], &octet, 1);
    }
} // namespace

void PreparerSignauxFermeture()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, tubeSignaux) != 0)
        return;
    struct sigaction action { };
    action.sa_handler = GestionnaireSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(s, &action, nullptr);
}

void InstallerSignauxFermeture(TForm1* fenetre)
{
    if (tubeSignaux[0] < 0)
        return;
    auto* notificateur = new QSocketNotifier(tubeSignaux[0], QSocketNotifier::Read, fenetre);
    QObject::connect(notificateur, &QSocketNotifier::activated, fenetre, [fenetre] {
        char octet = 0;
        [[maybe_unused]] auto n = ::read(tubeSignaux[0], &octet, 1);
        fenetre->DemanderFermeture(true);
    });
}

} // namespace virmak
