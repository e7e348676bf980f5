#include "exec/conduite.h"

#include "foundation/cn_varia.h"
#include "foundation/file_evenements.h"
#include "foundation/pupitre.h"

namespace virmak {

void CheckBoxSuiviPrgClick(bool cochee)
{
    VERIFIER_FIL_MACHINE();
    Form1.CheckBoxSuiviPrg.Cochee = cochee;
    SuiviPrg = cochee;
}

} // namespace virmak
