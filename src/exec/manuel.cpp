#include "exec/manuel.h"

#include "foundation/cn_varia.h"
#include "foundation/entrees_sorties.h"
#include "foundation/file_evenements.h"
#include "foundation/nombres.h"
#include "foundation/pupitre.h"
#include "foundation/vue.h"
#include "machine/cn_pilot.h"
#include "machine/in_out.h"
#include "machine/temporisation.h"

namespace virmak {

void MajAvanceCourante()
{
    const double champ = LireEntierTexte(Form1.EditVitAv.Texte).value_or(0);
    AvanceCourante = champ * Form1.TrackBarTAv.Position / 10.0;
    Form1.RapTextAv.Texte = FormatFixe(AvanceCourante, 4, 0);
}

void TrackBarVitAvChange()
{
    VERIFIER_FIL_MACHINE();
    Form1.EditVitAv.Texte = FormatEntier(Form1.TrackBarVitAv.Position, 4);
    VueActive().Repeindre("EditVitAv");
    MajAvanceCourante();
}

void TrackBarTAvChange()
{
    VERIFIER_FIL_MACHINE();
    const int position = Form1.TrackBarTAv.Position;
    Form1.LabelTAv.Texte = FormatEntier(static_cast<int64_t>(position) * 10, 3) + "%";
    MajAvanceCourante();
    // The running move takes the new override at its very next step.
    if (position > 0) {
        PeriodePas = Arrondi64(static_cast<double>(PeriodePas) * CorrAvance / position);
        CorrAvance = position;
    }
}

void CmbIncrementClick(int entree)
{
    VERIFIER_FIL_MACHINE();
    const int nb = static_cast<int>(Form1.CmbIncrement.Lignes.size());
    if (entree >= 0 && entree < nb)
        Form1.CmbIncrement.Selection = entree;
    VueActive().DonnerFocus("GroupBox3");
}

void BtBrocheClick()
{
    VERIFIER_FIL_MACHINE();
    BrocheEnMarche = !BrocheEnMarche;
    if (ArretUrgence) {
        BrocheEnMarche = false;
        OctetSortie = static_cast<uint8_t>(OctetSortie & ~MasqueBroche);
    } else {
        OctetSortie = static_cast<uint8_t>(OctetSortie ^ MasqueBroche);
    }
    ScruterEntrees();
    if (!Simulation && PortLPT != 0)
        EcrireSortiesA(OctetPort(OctetSortie));
}

} // namespace virmak
