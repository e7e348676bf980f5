#include "machine/port_linux.h"

#include "foundation/entrees_sorties.h"
#include "foundation/texte.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#endif

namespace virmak {

namespace {

    // The operator reads French whatever the system's locale.
    std::string Erreur(int numero)
    {
        switch (numero) {
        case EACCES:
        case EPERM:
            return "permission refusée";
        case ENOENT:
            return "fichier absent";
        case ENODEV:
        case ENXIO:
            return "aucun périphérique";
        case EBUSY:
            return "occupé par un autre programme";
        case ENOSYS:
            return "non disponible sur ce système";
        case EINVAL:
            return "adresse refusée";
        case EIO:
            return "erreur d'entrée-sortie";
        default:
            return std::string("erreur ") + std::to_string(numero) + " (" + std::strerror(numero) + ")";
        }
    }

    // One ioctl per access, the access itself: no buffering, no allocation.
    // A refused ioctl is a port that stopped answering: said, never ignored.
    class PortPpdev : public AccesPort {
    public:
        PortPpdev(int fd, std::string chemin)
            : fd_(fd)
            , chemin_(std::move(chemin))
        {
        }
        ~PortPpdev() override
        {
            ::ioctl(fd_, PPRELEASE);
            ::close(fd_);
        }
        bool Lire(uint16_t adresse, uint8_t& valeur) override
        {
            unsigned char octet = 0;
            valeur = 0;
            if (adresse != AdrELPT)
                return true;
            if (::ioctl(fd_, PPRSTATUS, &octet) != 0)
                return Echec();
            valeur = octet;
            return true;
        }
        bool Ecrire(uint16_t adresse, uint8_t valeur) override
        {
            unsigned char octet = valeur;
            const unsigned long requete
                = adresse == AdrDLPT ? PPWDATA : (adresse == AdrCLPT ? PPWCONTROL : 0);
            return requete == 0 || ::ioctl(fd_, requete, &octet) == 0 || Echec();
        }
        std::string Nom() const override { return "ppdev " + chemin_; }
        std::string Defaut() const override { return Erreur(erreur_); }

    private:
        bool Echec()
        {
            erreur_ = errno;
            return false;
        }
        int fd_;
        std::string chemin_;
        int erreur_ = 0;
    };

#if defined(__x86_64__) || defined(__i386__)
    // The processor's own port instructions: no system call at all.
    class PortDirect : public AccesPort {
    public:
        explicit PortDirect(uint16_t base)
            : base_(base)
        {
        }
        ~PortDirect() override { ::ioperm(base_, 3, 0); }
        // The processor's instructions cannot fail: a missing port reads 0xFF.
        bool Lire(uint16_t adresse, uint8_t& valeur) override
        {
            valeur = ::inb(adresse);
            return true;
        }
        bool Ecrire(uint16_t adresse, uint8_t valeur) override
        {
            ::outb(valeur, adresse);
            return true;
        }
        std::string Nom() const override
        {
            char texte[40];
            std::snprintf(texte, sizeof texte, "accès direct 0x%X", base_);
            return texte;
        }

    private:
        uint16_t base_;
    };
#endif

    bool LireEntierFichier(const std::string& chemin, long& valeur)
    {
        std::string contenu;
        if (LireFichier(chemin, contenu) != Lecture::Ok || contenu.empty())
            return false;
        char* fin = nullptr;
        valeur = std::strtol(contenu.c_str(), &fin, 10);
        return fin != contenu.c_str();
    }

} // namespace

std::string TrouverParport(uint16_t adresseDonnees, const std::string& racineProc)
{
    DIR* dossier = ::opendir(racineProc.c_str());
    if (!dossier)
        return {};
    std::string trouve;
    while (const dirent* entree = ::readdir(dossier)) {
        const std::string nom = entree->d_name;
        long base = -1;
        if (nom.rfind("parport", 0) == 0 && LireEntierFichier(racineProc + "/" + nom + "/base-addr", base)
            && base == adresseDonnees) {
            trouve = nom;
            break;
        }
    }
    ::closedir(dossier);
    return trouve;
}

OuverturePort OuvrirPortReel(
    uint16_t adresseDonnees, const std::string& racineProc, const std::string& racineDev)
{
    OuverturePort r;
    char adresse[16];
    std::snprintf(adresse, sizeof adresse, "0x%X", adresseDonnees);

    const std::string parport = TrouverParport(adresseDonnees, racineProc);
    if (parport.empty()) {
        r.essais = "ppdev : aucun port parallèle à l'adresse " + std::string(adresse) + " dans " + racineProc
            + " (module ppdev chargé ?)";
    } else {
        const std::string chemin = racineDev + "/" + parport;
        const int fd = ::open(chemin.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            r.essais = "ppdev : " + chemin + " : " + Erreur(errno);
        } else if (::ioctl(fd, PPCLAIM) != 0) {
            r.essais = "ppdev : " + chemin + " refuse d'être réservé : " + Erreur(errno);
            ::close(fd);
        } else {
            r.port = std::make_unique<PortPpdev>(fd, chemin);
            return r;
        }
    }

#if defined(__x86_64__) || defined(__i386__)
    // The status and control registers follow the data register.
    if (::ioperm(adresseDonnees, 3, 1) == 0) {
        r.port = std::make_unique<PortDirect>(adresseDonnees);
        r.essais.clear();
        return r;
    }
    r.essais += " ; accès direct : ioperm refusé : " + Erreur(errno);
#else
    r.essais += " ; accès direct : impossible sur ce processeur";
#endif
    return r;
}

} // namespace virmak
