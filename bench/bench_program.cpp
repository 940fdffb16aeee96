#include "bench_program.h"

#include <cstdio>
#include <cstdlib>

void BenchPrompts::Message(QWidget*, const QString& text) {
    if (!expectedMessage.isEmpty() && text == expectedMessage) {
        ++expectedSeen;
        return;
    }
    std::fprintf(stderr, "the program said: %s\n", qPrintable(text));
    std::abort();
}

QString BenchPrompts::OpenPicture(QWidget*, const QString&, const QString&, const QString&) {
    std::fprintf(stderr, "the program asked for a picture\n");
    std::abort();
}

ProgramContext::ProgramContext(const QString& executablePath) {
    context.executablePath = executablePath;
    context.prompts = &prompts;
    context.shell = shell.get();
}
