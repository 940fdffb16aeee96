#include "starter/starter_problem.h"

#include <cstdlib>

namespace {

constexpr const char* kVariable = "QARTO_GROUPS_STARTER_PROBLEM";

}  // namespace

void HandOverStarterProblem(const std::string& problem) {
    setenv(kVariable, problem.c_str(), 1);
}

std::string TakeStarterProblem() {
    const char* problem = std::getenv(kVariable);
    std::string taken = problem != nullptr ? problem : "";
    unsetenv(kVariable);
    return taken;
}
