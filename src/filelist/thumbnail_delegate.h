#pragma once

#include <QStyledItemDelegate>

class Thumbnails;

// Draws the icon view's rows with the thumbnail of their file where one is at hand (asking for it
// otherwise), else with the row's icon, at the thumbnail size. At 16 pixels the rows keep their
// plain icons, as the list always showed them.
class ThumbnailDelegate : public QStyledItemDelegate {
public:
    // `pathRole` is the model role holding a row's local path (empty for a file that is not there).
    ThumbnailDelegate(Thumbnails& thumbnails, int pathRole, QObject* parent);

    void SetSide(int side) { side_ = side; }
    int Side() const { return side_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    Thumbnails& thumbnails_;
    int pathRole_;
    int side_ = 16;
};
