#pragma once
// The export level last chosen in the window, kept in the data folder beside the language.

namespace export_level_setting {

// The saved level, 0 (exact) when none is saved or the file holds anything but 0, 1 or 2.
int Read();

// Saves the level; a failure to write is not reported (the level is still used this session).
void Write(int level);

}  // namespace export_level_setting
