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
        // Once the program's connection is made again after it was lost, so is this one: the server
        // may have restarted under it without its knowing.
        if (event != Database::ConnectionEvent::Lost) {
            follow(event != Database::ConnectionEvent::Detached);
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
