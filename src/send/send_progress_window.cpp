#include "send/send_progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/designed_font.h"
#include "platform/window_place.h"
#include "send/send_job.h"

QString SizeText(std::int64_t bytes) {
    if (bytes < 1024 * 1024) {
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    }
    const double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
    return megabytes < 1024 ? QStringLiteral("%1 MB").arg(megabytes, 0, 'f', 1)
                            : QStringLiteral("%1 GB").arg(megabytes / 1024.0, 0, 'f', 2);
}

SendProgressWindow::SendProgressWindow(QWidget* parent)
    // A tool window stays above the window it belongs to, which keeps the focus.
    : QWidget(parent, Qt::Tool),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)),
      Label3(new QLabel(this)),
      Label4(new QLabel(this)),
      ProgressBar1(new QProgressBar(this)),
      Button1(new QPushButton(QStringLiteral("中止(&C)"), this)) {
    setObjectName(QStringLiteral("SendProgress"));
    setWindowTitle(QStringLiteral("図面の送付"));
    setFont(DesignedFont(13));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Label4->setObjectName(QStringLiteral("Label4"));
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    Button1->setObjectName(QStringLiteral("Button1"));
    // A name of 255 bytes must not widen the window.
    Label4->setMinimumWidth(420);
    Label4->setMaximumWidth(420);
    ProgressBar1->setRange(0, 1000);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* control :
         {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3),
          static_cast<QWidget*>(Label4), static_cast<QWidget*>(ProgressBar1)}) {
        layout->addWidget(control);
    }
    layout->addWidget(Button1, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(Button1, &QPushButton::clicked, this, &SendProgressWindow::CancelAsked);
}

void SendProgressWindow::Start(const QString& doing, const QWidget& over) {
    Label1->setText(doing);
    Label2->clear();
    Label3->clear();
    Label4->clear();
    ProgressBar1->setValue(0);
    Button1->setEnabled(true);
    // Where the user looks: over the window the command came from, not where the window manager
    // finds room.
    if (!isVisible()) {
        adjustSize();
        const QPoint middle = over.window()->frameGeometry().center();
        PlaceWindowFrame(*this, middle.x() - frameGeometry().width() / 2,
                         middle.y() - frameGeometry().height() / 2);
    }
    show();
    raise();
}

void SendProgressWindow::Show(const SendProgress& progress) {
    Label1->setText(progress.checking ? QStringLiteral("作成したパッケージを確認しています...")
                                      : QStringLiteral("ファイルをコピーしています..."));
    Label2->setText(QStringLiteral("ファイル: %1 / %2").arg(progress.filesDone).arg(progress.files));
    Label3->setText(SizeText(progress.bytesDone) + QStringLiteral(" / ") + SizeText(progress.bytes));
    Label4->setText(fontMetrics().elidedText(QString::fromStdString(progress.current), Qt::ElideMiddle, 420));
    ProgressBar1->setValue(progress.bytes > 0 ? static_cast<int>(progress.bytesDone * 1000 / progress.bytes)
                                              : 0);
}

void SendProgressWindow::closeEvent(QCloseEvent* event) {
    emit CancelAsked();
    QWidget::closeEvent(event);
}
