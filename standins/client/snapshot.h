// A picture of this process's windows as they stand (the viewer and any open menus), copied from
// the windows' own surfaces, so it does not depend on what the display has been sent.
#pragma once

#include <string>

// Writes a 24-bit BMP file; false when nothing could be drawn or written.
bool SaveSnapshot(const std::string& path);
