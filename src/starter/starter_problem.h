#pragma once

#include <string>

// A problem of the user's first start goes from the starter to the program it becomes, which shows it
// on the screen: started from the desktop's menu, nobody reads the starter's terminal. It travels in
// an environment variable that the program reads once and removes, so nothing the program starts
// inherits it. The text is UTF-8.
void HandOverStarterProblem(const std::string& problem);
// The handed-over problem, empty when there is none; from now on there is none.
std::string TakeStarterProblem();
