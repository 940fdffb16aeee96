// The worker's program of the ApartWorker tests: answers each request back, or misbehaves as the
// request says.

#include <unistd.h>

#include <QFile>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/apart_worker.h"

namespace {

std::optional<QByteArray> Serve(const QByteArray& request) {
    if (request == "crash") {
        std::raise(SIGSEGV);
    } else if (request == "abort") {
        std::abort();
    } else if (request == "hang") {
        for (;;) {
            pause();
        }
    } else if (request == "flood") {
        return QByteArray(qsizetype{100} << 20, 'x');
    } else if (request == "hoard") {
        std::vector<char> hoard(std::size_t{3} << 29, 1);  // 1.5 GiB, touched
        return QByteArray(1, hoard.back());
    } else if (request == "none") {
        return std::nullopt;
    } else if (request == "pid") {
        return QByteArray::number(getpid());
    } else if (request.startsWith("hang:")) {  // as a read of a share that does not answer
        QFile named(QString::fromUtf8(request.mid(5)));
        if (named.open(QIODevice::WriteOnly)) {
            named.write(QByteArray::number(getpid()));
        }
        named.close();
        for (;;) {
            pause();
        }
    }
    return request;
}

}  // namespace

int main() {
    return ServeApartRequests(&Serve);
}
