#pragma once

#include <memory>
#include <string>

#include "send/package_sink.h"

// Files written into the folder `root` (the file system's encoding), which exists and is empty; each
// keeps its modification time. Names are made in the file system's encoding.
std::unique_ptr<PackageSink> MakeFolderSink(const std::string& root);
