#pragma once

#include <QStyledItemDelegate>

class Thumbnails;

// Draws the icon view's rows with the thumbnail of their file where one is at hand (asking for it
// otherwise), else with the row's icon, at the thumbnail size. At 16 pixels the rows keep their
// plain icons, as the list always showed them. A file not there shows the picture that says so.
class ThumbnailDelegate : public QStyledItemDelegate {
public:
    // `pathRole` is the model role holding the path a row's picture is made from (empty for a file that is
    // not there), `missingRole` the picture of a file not there (none for any other).
    ThumbnailDelegate(Thumbnails& thumbnails, int pathRole, int missingRole, QObject* parent);

    void SetSide(int side) { side_ = side; }
    int Side() const { return side_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A row takes the thumbnail's room whatever picture it shows yet, so that one that arrives fits.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QStyleOptionViewItem AtSide(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    Thumbnails& thumbnails_;
    int pathRole_;
    int missingRole_;
    int side_ = 16;
};
