#include "storage/firebird_server_mode.h"

#include <firebird/Interface.h>

#include <array>
#include <cctype>
#include <utility>

namespace {

bool SameIgnoringCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(left[i])) !=
            std::tolower(static_cast<unsigned char>(right[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

ServerMode ServerModeNamed(std::string_view setting) {
    static constexpr std::array<std::pair<const char*, ServerMode>, 6> kNames{{
        {"Super", ServerMode::Super},
        {"ThreadedDedicated", ServerMode::Super},
        {"SuperClassic", ServerMode::SuperClassic},
        {"ThreadedShared", ServerMode::SuperClassic},
        {"Classic", ServerMode::Classic},
        {"MultiProcess", ServerMode::Classic},
    }};
    for (const auto& [name, mode] : kNames) {
        if (SameIgnoringCase(setting, name)) {
            return mode;
        }
    }
    return ServerMode::Super;
}

const char* ServerModeName(ServerMode mode) {
    switch (mode) {
        case ServerMode::Super:
            return "Super";
        case ServerMode::SuperClassic:
            return "SuperClassic";
        case ServerMode::Classic:
            return "Classic";
    }
    return "Super";
}

ServerMode EngineServerMode() {
    Firebird::IFirebirdConf* config =
        Firebird::fb_get_master_interface()->getConfigManager()->getFirebirdConf();
    const char* setting = config->asString(config->getKey("ServerMode"));
    const ServerMode mode = ServerModeNamed(setting != nullptr ? setting : "");
    config->release();
    return mode;
}
