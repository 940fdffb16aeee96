#pragma once

#include <QString>
#include <QStringList>
#include <limits>
#include <memory>

#include "app/app_windows.h"
#include "platform/app_context.h"
#include "platform/prompts.h"
#include "platform/shell.h"

// Prompts of a benchmark run: the file-open dialog answers with `files`, the folder picker with
// `folder` and confirmations with Yes. A message other than `expectedMessage` ends the run: the
// program shows one then only when the measured work failed.
class BenchPrompts : public Prompts {
public:
    void Message(QWidget* parent, const QString& text) override;
    bool Question(QWidget*, const QString&) override { return true; }
    bool QuestionDefaultNo(QWidget*, const QString&) override { return true; }
    QStringList OpenFiles(QWidget*) override { return files; }
    QString OpenPicture(QWidget* parent, const QString& folder, const QString& fileName,
                        const QString& filter) override;
    QString ChooseFile(QWidget*, const QString&, const QString&) override { return files.value(0); }
    QString ChooseFolder(QWidget*, const QString&) override { return folder; }

    QStringList files;
    QString folder;
    QString expectedMessage;  // the outcome a command always reports
    int expectedSeen = 0;     // how often it was shown
};

// The shared state main() sets up, for a program whose executable would be at `executablePath`.
struct ProgramContext {
    explicit ProgramContext(const QString& executablePath);

    BenchPrompts prompts;
    std::unique_ptr<Shell> shell = MakeSystemShell();
    AppContext context;
};

// The program's windows without the automatic backup, which would start during a long run and
// compete with what is measured.
struct BenchWindows : AppWindows {
    explicit BenchWindows(AppContext& context) : AppWindows(context) {
        backup.keeper.SetAutomaticDelay(std::numeric_limits<int>::max());
    }
};
