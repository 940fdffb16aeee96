#pragma once

#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <vector>

// The file list's own copies of the files' icons at 16 x 16; a row refers to its image by index.
class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(QObject* parent) : QObject(parent) {}

    static constexpr QSize kImageSize{16, 16};

    // Index of the new image.
    int Add(const QIcon& icon);
    void Clear() { images_.clear(); }
    int Count() const { return static_cast<int>(images_.size()); }
    const QPixmap& Image(int index) const { return images_.at(index); }

private:
    std::vector<QPixmap> images_;
};
