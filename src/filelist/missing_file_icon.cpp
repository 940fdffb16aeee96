#include "filelist/missing_file_icon.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace {

constexpr int kSides[] = {16, 32, 48, 64, 128, 256};

}  // namespace

QIcon MissingFileIcon(const QIcon& typeIcon) {
    QIcon marked;
    for (const int side : kSides) {
        QPixmap picture(side, side);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        // Faded, as a file manager shows what is not there.
        painter.setOpacity(0.55);
        typeIcon.paint(&painter, picture.rect());
        painter.setOpacity(1);
        const qreal mark = side * 0.5;
        const QRectF circle(side - mark, side - mark, mark, mark);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(204, 32, 32));
        painter.drawEllipse(circle);
        painter.setPen(QPen(Qt::white, std::max(1.5, mark / 7), Qt::SolidLine, Qt::RoundCap));
        const QRectF cross = circle.adjusted(mark * 0.3, mark * 0.3, -mark * 0.3, -mark * 0.3);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.topRight(), cross.bottomLeft());
        painter.end();
        marked.addPixmap(picture);
    }
    return marked;
}
