#include "storage/connection_life.h"

#include <utility>

std::shared_ptr<void> ConnectionLife::Listen(Database::ConnectionListener listener) {
    auto kept = std::make_shared<Database::ConnectionListener>(std::move(listener));
    listeners_.push_back(kept);
    return kept;
}

void ConnectionLife::Tell(Database::ConnectionEvent event) {
    if (event == Database::ConnectionEvent::Attached || event == Database::ConnectionEvent::Detached) {
        ++session_;
    }
    const auto listening = listeners_;
    for (const auto& listener : listening) {
        if (const std::shared_ptr<Database::ConnectionListener> alive = listener.lock()) {
            (*alive)(event);
        }
    }
    std::erase_if(listeners_, [](const auto& listener) { return listener.expired(); });
}

void ConnectionLife::StartReattaching(Firebird::IMaster* master, const std::string& path) {
    if (reattacher_) {
        return;
    }
    reattacher_ = std::make_unique<Reattacher>(master, path);
    Tell(Database::ConnectionEvent::Lost);
}

Firebird::IAttachment* ConnectionLife::TakeReattached() {
    Firebird::IAttachment* const made = reattacher_ ? reattacher_->Take() : nullptr;
    if (made != nullptr) {
        reattacher_.reset();
    }
    return made;
}
