#include "preview/quick_look_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/window_place.h"
#include "preview/desktop_thumbnails.h"
#include "preview/thumbnails.h"

namespace {

constexpr int kLargestSide = 1024;  // the largest thumbnails the desktop's cache keeps
constexpr int kIconSide = 128;

}  // namespace

QuickLookWindow::QuickLookWindow(Thumbnails& thumbnails, QWidget* parent)
    : QWidget(parent, Qt::Window),
      thumbnails_(thumbnails),
      picture_(new QLabel(this)),
      name_(new QLabel(this)),
      facts_(new QLabel(this)) {
    setObjectName(QStringLiteral("QuickLook"));
    picture_->setObjectName(QStringLiteral("QuickLookPicture"));
    name_->setObjectName(QStringLiteral("QuickLookName"));
    facts_->setObjectName(QStringLiteral("QuickLookFacts"));
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setMinimumSize(1, 1);
    picture_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    QFont bold = name_->font();
    bold.setBold(true);
    name_->setFont(bold);
    for (QLabel* text : {name_, facts_}) {
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        text->setWordWrap(true);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_, 1);
    layout->addWidget(name_);
    layout->addWidget(facts_);
    resize(640, 560);
    connect(&thumbnails_, &Thumbnails::Arrived, this, [this](const QString& path, int side) {
        if (isVisible() && path == file_.path && side == PictureSide()) {
            ShowPicture();
        }
    });
    connect(&thumbnails_, &Thumbnails::LookingAgain, this, [this] {
        if (isVisible()) {
            ShowPicture();
        }
    });
}

void QuickLookWindow::ShowFile(const QuickLookFile& file) {
    file_ = file;
    setWindowTitle(file.name);
    name_->setText(file.name);
    facts_->setText(file.folder + QLatin1Char('\n') + file.size + QStringLiteral(" バイト  ") + file.time);
    if (!isVisible()) {
        PlaceOnScreen();
    }
    show();
    raise();
    activateWindow();
    ShowPicture();
}

// Shrunk and moved as far as it takes to stand on the screen, frame and all. Until it has been shown
// its frame is taken to be as wide as its owner's, which the same window manager framed.
void QuickLookWindow::PlaceOnScreen() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QWidget* framed = placed_ || owner == nullptr ? this : owner;
    const QRect outer = framed->frameGeometry();
    const QRect inner = framed->geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    QRect wanted(pos(), size().grownBy(frame));
    if (!placed_ && owner != nullptr) {
        wanted.moveCenter(owner->frameGeometry().center());
    }
    const QRect onScreen =
        FrameInside(wanted, (owner != nullptr ? owner : this)->screen()->availableGeometry());
    resize(onScreen.size().shrunkBy(frame));
    PlaceWindowFrame(*this, onScreen.left(), onScreen.top());
    placed_ = true;
}

// The picture is asked for at the cache's size that holds the window's picture area.
int QuickLookWindow::PictureSide() const {
    const QSize area = picture_->size();
    return DesktopThumbnails::FolderSide(std::min(kLargestSide, std::max(area.width(), area.height())));
}

void QuickLookWindow::ShowPicture() {
    const QPixmap made = file_.path.isEmpty() ? QPixmap() : thumbnails_.Get(file_.path, PictureSide(), true);
    showsPicture_ = !made.isNull();
    if (showsPicture_) {
        picture_->setPixmap(made.scaled(picture_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
        picture_->setPixmap(file_.icon.pixmap(kIconSide, kIconSide));
    }
}

void QuickLookWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Escape:
            close();
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
            emit StepAsked(1);
            return;
        case Qt::Key_Left:
        case Qt::Key_Up:
            emit StepAsked(-1);
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void QuickLookWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) {
        ShowPicture();
    }
}
