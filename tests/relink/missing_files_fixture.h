#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "relink/missing_files_window.h"
#include "relink/relink_dialog.h"
#include "relink_fixture.h"

// The missing-files window over the fixture's database.
class MissingFilesTest : public RelinkTest {
protected:
    MissingFilesTest() : window(context, db, nullptr) {}

    void OpenAndWait() {
        window.Open();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window.Busy(); }, 20000));
    }
    void Click(const char* name) {
        QTest::mouseClick(window.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    QString Status() const { return window.findChild<QLabel*>(QStringLiteral("StatusLine"))->text(); }
    // One column of the missing list, in list order.
    QStringList Column(int column) const {
        const QAbstractItemModel* model =
            window.findChild<QTreeView*>(QStringLiteral("MissingList"))->model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row) {
            texts << model->index(row, column).data().toString();
        }
        return texts;
    }
    RelinkDialog* Proposals() const { return window.findChild<RelinkDialog*>(); }
    QTreeWidget* ProposalList() const { return Proposals()->findChild<QTreeWidget*>(); }
    // Chooses `folder` for relinking and waits for the proposals.
    void RelinkFrom(const QString& folder) {
        prompts.ChooseNextFolder(folder);
        Click("RelinkButton");
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window.Busy(); }, 20000));
    }
    void ConfirmProposals() {
        ASSERT_TRUE(Proposals()->isVisible());
        QTest::mouseClick(Proposals()->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window.Busy(); }, 20000));
    }

    MissingFilesWindow window;
};
