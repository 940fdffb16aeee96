#pragma once

#include <string>

// What a failed call's errno means, in the user's words (UTF-8).
std::string ErrorWords(int errorNumber);
