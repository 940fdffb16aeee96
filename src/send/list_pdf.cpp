#include "send/list_pdf.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <array>

#include "send/drawing_list.h"

namespace {

// In points: the writer draws at 72 dots an inch.
constexpr int kResolution = 72;
constexpr qreal kMargin = 36;
constexpr qreal kCellPadding = 2;
// No, file name, folder, size, time, SHA-256 (two lines of 32 digits).
constexpr std::array<qreal, 6> kColumnWidths{34, 232, 216, 62, 86, 130};
constexpr int kWrap = Qt::TextWrapAnywhere | Qt::AlignLeft | Qt::AlignTop;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

class ListPainter {
public:
    ListPainter(QPainter& painter, const QString& family) : painter_(painter), body_(family), small_(family) {
        body_.setPointSizeF(7.5);
        small_.setPointSizeF(6);
        page_ = painter.viewport();
    }

    qreal RowHeight(const std::vector<std::string>& cells) const {
        qreal height = 0;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            painter_.setFont(i == 5 ? small_ : body_);
            const QRectF room(0, 0, kColumnWidths[i] - 2 * kCellPadding, 1e6);
            height = std::max(height, painter_.boundingRect(room, kWrap, Text(cells[i])).height());
        }
        return height + 2 * kCellPadding;
    }

    void Row(qreal top, const std::vector<std::string>& cells, qreal height, bool title) {
        qreal left = kMargin;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const QRectF cell(left, top, kColumnWidths[i], height);
            if (title) {
                painter_.fillRect(cell, QColor(0xEB, 0xEB, 0xEB));
            }
            painter_.drawRect(cell);
            painter_.setFont(i == 5 && !title ? small_ : body_);
            const int align = (i == 0 || i == 3) && !title ? (Qt::AlignRight | Qt::AlignTop) : kWrap;
            painter_.drawText(cell.adjusted(kCellPadding, kCellPadding, -kCellPadding, -kCellPadding), align,
                              Text(cells[i]));
            left += kColumnWidths[i];
        }
    }

    // Draws the heading and answers where the table starts.
    qreal Heading(const DrawingList& list) {
        QFont title = body_;
        title.setPointSizeF(14);
        painter_.setFont(title);
        qreal top = kMargin;
        painter_.drawText(QRectF(kMargin, top, Width(), 24), Qt::AlignLeft | Qt::AlignTop,
                          QStringLiteral("図面送付リスト"));
        top += 26;
        painter_.setFont(body_);
        for (const auto& [label, text] : ListHeading(list)) {
            const QRectF room(kMargin + 60, top, Width() - 60, 1e6);
            const QRectF used = painter_.boundingRect(room, kWrap, Text(text));
            painter_.drawText(QRectF(kMargin, top, 60, 12), Qt::AlignLeft | Qt::AlignTop, Text(label));
            painter_.drawText(room, kWrap, Text(text));
            top += std::max<qreal>(used.height(), 11) + 1;
        }
        return top + 8;
    }

    void Foot(int page, int pages) {
        painter_.setFont(body_);
        painter_.drawText(QRectF(kMargin, Bottom() + 6, Width(), 14), Qt::AlignHCenter | Qt::AlignTop,
                          QStringLiteral("%1 / %2").arg(page).arg(pages));
    }

    void Totals(qreal top, const DrawingList& list) {
        painter_.setFont(body_);
        painter_.drawText(QRectF(kMargin, top + 4, Width(), 14), Qt::AlignLeft | Qt::AlignTop,
                          Text(ListTotals(list)));
    }

    qreal Width() const { return page_.width() - 2 * kMargin; }
    qreal Bottom() const { return page_.height() - kMargin - 14; }

private:
    QPainter& painter_;
    QFont body_;
    QFont small_;
    QRectF page_;
};

}  // namespace

QString JapaneseFontFamily() {
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& preferred : {QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                                     QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic")}) {
        if (families.contains(preferred)) {
            return preferred;
        }
    }
    return families.isEmpty() ? QString() : families.first();
}

QByteArray PdfOfList(const DrawingList& list, const QString& family) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    writer.setTitle(QStringLiteral("図面送付リスト ") + Text(list.groupName));
    writer.setCreator(QStringLiteral("Qartoグループ管理"));
    QPainter painter(&writer);
    ListPainter draw(painter, family);

    // The pages are laid out first, so that each foot can tell how many there are.
    const std::vector<std::string> columns = ListColumns();
    const qreal titleHeight = draw.RowHeight(columns);
    struct Placed {
        std::size_t row;
        qreal top, height;
    };
    std::vector<std::vector<Placed>> pages(1);
    const qreal firstTop = draw.Heading(list);
    qreal top = firstTop + titleHeight;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        const qreal height = draw.RowHeight(ListCells(list.rows[i]));
        if (top + height > draw.Bottom() && !pages.back().empty()) {
            pages.emplace_back();
            top = kMargin + titleHeight;
        }
        pages.back().push_back({i, top, height});
        top += height;
    }
    qreal totalsTop = top;
    if (totalsTop + 18 > draw.Bottom()) {
        pages.emplace_back();
        totalsTop = kMargin + titleHeight;
    }
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0) {
            writer.newPage();
        }
        draw.Row(page == 0 ? firstTop : kMargin, columns, titleHeight, true);
        for (const Placed& placed : pages[page]) {
            draw.Row(placed.top, ListCells(list.rows[placed.row]), placed.height, false);
        }
        draw.Foot(static_cast<int>(page) + 1, static_cast<int>(pages.size()));
    }
    draw.Totals(totalsTop, list);
    painter.end();
    return bytes;
}
