#pragma once

#include <QDialog>
#include <vector>

#include "relink/relink_plan.h"

class QLabel;
class QPushButton;
class QTreeWidget;

// Shows the proposed folders (old folder → new folder, guesses marked), each with a check box, and
// answers the ones still checked when the user confirms.
// "\n" and how many folders of the walk could not be read; empty when every one was.
QString UnreadableNote(long long unreadableFolders);

class RelinkDialog : public QDialog {
    Q_OBJECT
public:
    explicit RelinkDialog(QWidget* parent);

    void SetProposals(std::vector<RelinkProposal> proposals, int notFound, long long unreadableFolders);
    std::vector<RelinkProposal> CheckedProposals() const;

private:
    std::vector<RelinkProposal> proposals_;
    QLabel* summary_;
    QTreeWidget* list_;
    QPushButton* okButton_;
};
