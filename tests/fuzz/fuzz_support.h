#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A temporary folder of its own for this run of a fuzz target, made on first use and removed at exit.
std::string ScratchFolder();
// Puts the input into a file, for the readers that take a path.
void WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size);
