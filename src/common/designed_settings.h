#pragma once

#include <array>

#include "common/connection_settings.h"
#include "common/settings_file.h"

// The file list's columns: name, folder, size, time and number; the time's is as wide as
// "yyyy/MM/dd hh:mm:ss" in the designed font with the cell's margins.
inline constexpr std::array<int, 5> kDesignedColumnWidths{120, 160, 80, 140, 50};

// Settings naming `connection` with every window at the place and size it is designed with, the
// file list's designed column widths and its first view style: what a prepared first start writes.
SavedSettings DesignedSettings(const ConnectionSettings& connection);
