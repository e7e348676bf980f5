#pragma once
// Run control: the handlers through which a run is started, paused,
// stepped and stopped.

namespace virmak {

// "Suivi du programme pendant l'exécution": SuiviPrg follows the box.
void CheckBoxSuiviPrgClick(bool cochee);

} // namespace virmak
