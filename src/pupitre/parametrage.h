#pragma once
// The parameters dialog's restore: the values it takes back from the file
// and what follows from them. The dialog's fields come with the dialog.

namespace virmak {

void RestaureParametres();

} // namespace virmak
