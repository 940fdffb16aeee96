#include "platform/connection_worker.h"

#include "storage/database.h"

ConnectionWorker::ConnectionWorker(Database& database) : home_(new QObject) {
    home_->moveToThread(&thread_);
    thread_.start();
    const auto follow = [this, &database](bool attached) {
        Post([settings = database.Settings(), attached](FollowingConnection& connection) {
            connection.Follow(settings, attached);
        });
    };
    listening_ = database.Listen([follow](Database::ConnectionEvent event) {
        if (event == Database::ConnectionEvent::Attached || event == Database::ConnectionEvent::Detached) {
            follow(event == Database::ConnectionEvent::Attached);
        }
    });
    if (database.Attached()) {
        follow(true);
    }
}

ConnectionWorker::~ConnectionWorker() {
    connection_.Interrupt();
    thread_.quit();
    thread_.wait();
    delete home_;
}

void ConnectionWorker::Post(std::function<void(FollowingConnection& connection)> work) {
    QMetaObject::invokeMethod(home_, [this, work = std::move(work)] { work(connection_); });
}
