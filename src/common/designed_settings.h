#pragma once

#include "common/connection_settings.h"
#include "common/settings_file.h"

// Settings naming `connection` with every window at the place and size it is designed with, the
// file list's designed column widths and its first view style: what a prepared first start writes.
SavedSettings DesignedSettings(const ConnectionSettings& connection);
