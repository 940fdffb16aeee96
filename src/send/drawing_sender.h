#pragma once

#include <QObject>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/background_work.h"
#include "send/send_job.h"
#include "storage/send_history.h"

struct AppContext;
class Database;
class SendDialog;
class SendHistoryWindow;
class SendProgressWindow;
class QWidget;

// Sends a set of drawings: the dialog, then on a thread of its own a look at every file and at the
// target, the questions that look raises, the package written, checked and named, and its record in
// the database. The board and the other windows stay usable meanwhile. Leftovers of a run that ended
// hard are removed when it is made.
class DrawingSender : public QObject {
    Q_OBJECT
public:
    DrawingSender(AppContext& context, Database& database, QWidget& mainWindow);
    ~DrawingSender() override;

    // Every registration of group `groupNo`, in the order of their numbers.
    void SendGroup(std::int64_t groupNo);
    // The registrations `files` of group `groupNo`, from the window `from`.
    void SendFiles(std::int64_t groupNo, const std::vector<StoredFile>& files, QWidget* from);
    // Lists the sets sent, of group `groupNo` first (0: of all).
    void ShowHistory(std::int64_t groupNo);

    bool Busy() const { return work_.Busy(); }

    SendDialog* dialog;
    SendProgressWindow* progress;
    SendHistoryWindow* history;

private:
    void Chosen(const SendChoices& choices, const std::string& note);
    void Surveyed(const Survey& survey);
    void Write(const Survey& survey, bool replace);
    void Written(const SendOutcome& outcome, bool recorded);
    // What the record of the set under way holds before it is sent.
    SendRecord RecordStart() const;
    void Cancel();
    void Say(const QString& text);

    AppContext& context_;
    Database& database_;
    QWidget& mainWindow_;
    BackgroundWork work_;
    QWidget* asking_ = nullptr;  // the window the command came from
    std::int64_t groupNo_ = 0;
    ConnectionSettings readFrom_;  // the database the group was read from
    std::vector<StoredFile> files_;
    DrawingList list_;  // the heading of the set under way
    SendChoices choices_;
    bool cancelAsked_ = false;
};
