#include "window_manager.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <vector>

namespace {

constexpr int kStartTimeoutMs = 10000;

// Starts `program` with `arguments` and DISPLAY set, its output discarded; 0 when it cannot start.
pid_t Spawn(const QString& program, const QStringList& arguments, const QString& display) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        return 0;
    }
    QList<QByteArray> texts{QFile::encodeName(path)};
    for (const QString& argument : arguments) {
        texts << argument.toLocal8Bit();
    }
    std::vector<char*> argv;
    for (QByteArray& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);
    const QByteArray displayVariable = display.toLocal8Bit();
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (!displayVariable.isEmpty()) {
            setenv("DISPLAY", displayVariable.constData(), 1);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid > 0 ? pid : 0;
}

void End(qint64 pid) {
    if (pid > 0) {
        kill(static_cast<pid_t>(pid), SIGTERM);
        waitpid(static_cast<pid_t>(pid), nullptr, 0);
    }
}

bool WaitFor(const std::function<bool()>& ready) {
    QElapsedTimer waited;
    waited.start();
    while (!ready()) {
        if (waited.elapsed() > kStartTimeoutMs) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

}  // namespace

PrivateDesktop::PrivateDesktop() {
    // The first display number whose lock file is free; Xvfb refuses a taken one and the loop goes on.
    for (int number = 90; number < 130 && display_.isEmpty(); ++number) {
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) {
            continue;
        }
        const QString candidate = QStringLiteral(":%1").arg(number);
        server_ = Spawn(QStringLiteral("Xvfb"),
                        {candidate, QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                        QString());
        if (server_ == 0) {
            failure_ = QStringLiteral("Xvfb is not installed");
            return;
        }
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        const bool up = WaitFor([&] {
            return QFile::exists(socket) || waitpid(static_cast<pid_t>(server_), nullptr, WNOHANG) != 0;
        });
        if (up && waitpid(static_cast<pid_t>(server_), nullptr, WNOHANG) == 0) {
            display_ = candidate;
        } else {
            End(server_);
            server_ = 0;
        }
    }
    if (display_.isEmpty()) {
        failure_ = QStringLiteral("no X server could be started");
        return;
    }
    // openbox runs its start-up command once it manages the screen.
    QTemporaryDir marks;
    const QString ready = marks.filePath(QStringLiteral("ready"));
    manager_ = Spawn(QStringLiteral("openbox"),
                     {QStringLiteral("--startup"), QStringLiteral("touch ") + ready}, display_);
    if (manager_ == 0 || !WaitFor([&] { return QFile::exists(ready); })) {
        failure_ = QStringLiteral("openbox could not be started");
        display_.clear();
    }
}

PrivateDesktop::~PrivateDesktop() {
    End(manager_);
    End(server_);
}
