#pragma once

#include <QObject>
#include <QPoint>

class TForm1;
class TForm3;

// Files dropped from a file manager onto a group's icon on the board are registered in that group as
// the file list registers them, its file table made first if it has none, as opening the group would.
// Nothing else on the board takes a drop: no group is moved or created by one.
class BoardFileDrop : public QObject {
public:
    BoardFileDrop(TForm1& board, TForm3& fileList);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The number of the group whose icon stands at a point of the board; 0 elsewhere.
    int GroupAt(QPoint onBoard) const;

    TForm1& board_;
    TForm3& fileList_;
};
