#include "storage/private_database.h"

#include <mutex>
#include <set>
#include <utility>

namespace {

struct Registry {
    std::mutex mutex;
    std::multiset<std::string, std::less<>> paths;
};

Registry& Private() {
    static Registry registry;
    return registry;
}

}  // namespace

PrivateDatabase::PrivateDatabase(std::string path) : path_(std::move(path)) {
    std::lock_guard lock(Private().mutex);
    Private().paths.insert(path_);
}

PrivateDatabase::~PrivateDatabase() {
    std::lock_guard lock(Private().mutex);
    Private().paths.erase(Private().paths.find(path_));
}

bool IsPrivateDatabase(std::string_view path) {
    std::lock_guard lock(Private().mutex);
    return Private().paths.find(path) != Private().paths.end();
}
