#include "iso/cn_outils.h"

#include "foundation/cn_varia.h"

namespace virmak {

std::string LibelleOutil(int numero)
{
    return (numero < 10 ? "T0" : "T") + std::to_string(numero);
}

std::string SectionOutil(int numero)
{
    return CleIndexee("OUTIL", numero);
}

std::string CheminExportOutils()
{
    return RepExe + "Virmak.Out";
}

void ChargerOutils()
{
    for (int n = 0; n < NbOutils; ++n) {
        const std::string section = SectionOutil(n);
        TOutil& o = TabOutils[n];
        o = TOutil {};
        o.Designation = IniOutil.LireChaine(section, "Designation", "");
        o.Jauge[0] = IniOutil.LireReel(section, CleIndexee("Jauge", 0), 0);
        o.Jauge[1] = IniOutil.LireReel(section, CleIndexee("Jauge", 1), 0);
    }
}

void AnnulerCorDyn()
{
    for (TOutil& o : TabOutils)
        o.CorDyn[0] = o.CorDyn[1] = 0;
}

} // namespace virmak
