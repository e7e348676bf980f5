#pragma once
// Manual operation: the feed and override controls of the main window.

namespace virmak {

void TrackBarVitAvChange();
void TrackBarTAvChange();

// An entry of the increment list chosen; the focus goes to the group of
// the jog buttons so that the arrows jog at once.
void CmbIncrementClick(int entree);

// "Broche": the spindle switched; with the emergency stop engaged, off.
// The port takes it at once.
void BtBrocheClick();

// AvanceCourante from the feed field and the override, and its display.
void MajAvanceCourante();

} // namespace virmak
