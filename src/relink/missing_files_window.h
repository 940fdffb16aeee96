#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "relink/mapping_suggestion.h"
#include "relink/relink_plan.h"

struct AppContext;
class Database;
class MissingFileScan;
class MissingFilesModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class QTreeView;
class RelinkDialog;
struct MappingTrial;
struct TreeWalk;

// "リンク切れファイル": every registration, in every group, whose file does not exist. Modeless;
// the scan, the walk of the folder chosen for relinking and the storing of new folders each run
// with progress and can be cancelled, the window staying responsive. When most missing files lie
// below one share or folder that no folder mapping covers, the window offers to map it to a folder
// of this machine, tries that folder on some of the files and keeps the mapping if the user agrees.
class MissingFilesWindow : public QWidget {
    Q_OBJECT
public:
    MissingFilesWindow(AppContext& context, Database& database, QWidget* parent);
    ~MissingFilesWindow() override;

    // Shows the window and scans afresh.
    void Open();
    bool Busy() const { return busy_; }

signals:
    // The window is idle again after a scan, a relinking or a cancel.
    void WorkFinished();
    // Registrations were given new folders.
    void FoldersChanged();
    // A folder mapping was added: files are found elsewhere now.
    void MappingsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void StartScan();
    void ShowScanProgress(long long checked, long long missing, int groupsDone, int groupCount);
    void ScanFinished(bool cancelled);
    void StartRelink();
    void ShowWalkProgress();
    void WalkFinished();
    // Relinks the current row to a file the user chooses, perhaps under another name.
    void RelinkChosenFile();
    void StoreChosen();
    void StoreProposals(std::vector<RelinkProposal> proposals);
    void StoreSlice();
    void StoringFinished();
    void ShowOffer();
    void TryMapping();
    void TrialFinished();
    void Cancel();
    // The database the list was read from is left: its work stops and its list goes.
    void DatabaseLeft();
    void SetBusy(bool busy);
    // The job whose thread has finished, its thread let go; null, with the note shown, when the job
    // was cancelled.
    template <typename Job>
    std::shared_ptr<Job> TakeFinished(QThread*& thread, std::shared_ptr<Job>& job,
                                      const QString& cancelledNote);
    void ShowCount(const QString& note = QString());

    AppContext& context_;
    Database& database_;
    MissingFileScan* scan_;
    MissingFilesModel* model_;
    QTreeView* list_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* searchButton_;
    QPushButton* relinkButton_;
    QPushButton* chooseButton_;
    QPushButton* cancelButton_;
    QWidget* offer_;
    QLabel* offerText_;
    QPushButton* mapButton_;
    RelinkDialog* proposals_;
    QTimer* walkTicker_;

    bool busy_ = false;
    bool listComplete_ = false;       // the list holds what a whole scan found
    std::shared_ptr<TreeWalk> walk_;  // shared with its thread
    QThread* walkThread_ = nullptr;
    std::optional<MappingSuggestion> suggestion_;
    std::shared_ptr<MappingTrial> trial_;  // shared with its thread
    QThread* trialThread_ = nullptr;
    std::vector<RelinkProposal> storing_;
    std::size_t storeIndex_ = 0;
    std::vector<RelinkOutcome> stored_;
    bool storeCancelled_ = false;
    std::shared_ptr<void> listening_;
};
