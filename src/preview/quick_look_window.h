#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QLabel;
class Thumbnails;

// What the quick look shows of a file besides its picture.
struct QuickLookFile {
    QString path;  // the file on this machine; empty when it is not there
    QString name;
    QString folder;
    QString size;
    QString time;
    QIcon icon;  // shown when the file gives no picture
};

// A window with a file's picture as large as the window allows (a drawing's own preview, a PDF's
// first page, the image itself), its name, folder, size and time. The picture is made by the
// thumbnail workers; until it comes, and for a file without one, the file's icon shows. The arrow
// keys ask for the next and previous file; Space or Esc closes the window. It never opens the file.
// It opens over the window it belongs to, later where it was left, and always wholly on the screen.
class QuickLookWindow : public QWidget {
    Q_OBJECT
public:
    QuickLookWindow(Thumbnails& thumbnails, QWidget* parent);

    void ShowFile(const QuickLookFile& file);
    const QuickLookFile& File() const { return file_; }
    // True while the picture of the file shown is at hand.
    bool ShowsPicture() const { return showsPicture_; }

signals:
    // The next (1) or previous (-1) file is asked for.
    void StepAsked(int steps);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceOnScreen();
    int PictureSide() const;
    void ShowPicture();

    Thumbnails& thumbnails_;
    QuickLookFile file_;
    QLabel* picture_;
    QLabel* name_;
    QLabel* facts_;
    bool showsPicture_ = false;
    bool placed_ = false;
};
