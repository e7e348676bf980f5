#include "machine/choix_port.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/nombres.h"
#include "machine/cn_algos.h"
#include "machine/machine_virtuelle.h"
#include "machine/port_linux.h"

#include <cmath>
#include <cstdio>

namespace virmak {

bool MachineVirtuelleDemandee = false;

namespace {

    struct Choix {
        int32_t port = -1;
        uint16_t adresse = 0;
        bool virtuelle = false;
        bool operator==(const Choix&) const = default;
    };
    Choix ouvert;

} // namespace

void ReglerCourses(MachineVirtuelle& m)
{
    for (int i = 0; i < 3; ++i) {
        // The machine's travel; older files give the virtual machine its own.
        const std::string cle = CleIndexee("Course", i);
        const double course = IniParam.CleExiste("AXES", cle)
            ? LireCourse(i)
            : IniParam.LireReel(SectionMachineVirtuelle, cle, 0);
        const double pas = std::isfinite(course) && course > 0 ? course / ValPas[i] : 0;
        m.DefinirCourse(i, pas < 9e15 ? static_cast<int64_t>(pas) : 0);
    }
    // The touch plate under the tool, its top at this Z (mm); none without.
    const double cale = IniParam.LireReel(SectionMachineVirtuelle, "Cale", std::nan(""));
    m.DefinirCale(std::isfinite(cale), std::isfinite(cale) ? PasDe(cale, 2) : 0);
}

std::string OuvrirPortConfigure()
{
    const Choix voulu { PortLPT, AdrDLPT, MachineVirtuelleDemandee };
    if (voulu == ouvert)
        return {};
    ouvert = voulu;
    if (MachineVirtuelleDemandee) {
        // One machine for the whole run: its window holds on to it.
        if (MachineVirtuelle* active = MachineVirtuelleActive()) {
            ReglerCourses(*active);
            return {};
        }
        auto machine = std::make_unique<MachineVirtuelle>();
        ReglerCourses(*machine);
        DefinirPort(std::move(machine));
        return {};
    }
    // "Port DESACTIVE" and "Autre à définir": no access at all.
    if (PortLPT < 1 || PortLPT > 3) {
        DefinirPort(nullptr);
        return {};
    }
    OuverturePort o = OuvrirPortReel(AdrDLPT);
    const bool ouvertOk = o.port != nullptr;
    DefinirPort(std::move(o.port));
    if (ouvertOk)
        return {};
    char adresse[16];
    std::snprintf(adresse, sizeof adresse, "0x%X", AdrDLPT);
    return "Le port parallèle LPT" + std::to_string(PortLPT) + " (adresse " + adresse
        + ") ne peut pas être ouvert.\n\nEssais : " + o.essais
        + ".\n\nLe port n'est pas utilisé : aucune entrée n'est lue, aucune sortie n'est écrite. "
          "Pour donner l'accès au port (module ppdev et groupe lp, ou setcap cap_sys_rawio+ep), voir la "
          "page « Brancher une vraie machine » de l'aide (menu Aide). Pour essayer sans machine, "
          "lancer le programme avec --machine-virtuelle.";
}

void FermerPort()
{
    ouvert = Choix {};
    DefinirPort(nullptr);
}

} // namespace virmak
