#include "pupitre/parametrage.h"

#include "foundation/cn_varia.h"
#include "machine/temporisation.h"

namespace virmak {

void RestaureParametres()
{
    for (int i = 0; i < 3; ++i)
        AvMax[i] = LireAvMaxFichier(i);
    CreteCir = LireCreteCirFichier();
    AvRap = LireAvRapFichier();
    LarCreneau = LireLarCreneauFichier(10);
    CalculerBouclesCreneau();

    for (int i = 0; i < 3; ++i)
        CompJeu[i] = IniParam.LireBooleen("BOOLEAN", CleIndexee("CompJeu", i), true);
    CalageZ = IniParam.LireBooleen("BOOLEAN", "CalageZ", true);

    Simulation = IniParam.LireBooleen("BOOLEAN", "Simulation", true);
    AffRapide = IniParam.LireBooleen("BOOLEAN", "AffRapide", true);

    AvanceMax = AvanceMaxiVectorielle(AvMax[0], AvMax[1], AvMax[2]);
    MajCurseurAvance();
}

} // namespace virmak
