#pragma once
// Manual operation: the feed and override controls of the main window.

namespace virmak {

void TrackBarVitAvChange();
void TrackBarTAvChange();

// AvanceCourante from the feed field and the override, and its display.
void MajAvanceCourante();

} // namespace virmak
