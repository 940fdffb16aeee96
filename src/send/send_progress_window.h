#pragma once

#include <QWidget>

struct SendProgress;
class QLabel;
class QProgressBar;
class QPushButton;

// How the sending goes: files and bytes done, the file under way, and "中止". It keeps nothing else
// from being used; closing it is the same as "中止".
class SendProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit SendProgressWindow(QWidget* parent);

    // Shown afresh over the window `over`, saying what is being done before the files are counted.
    void Start(const QString& doing, const QWidget& over);
    void Show(const SendProgress& progress);

    QLabel* Label1;  // what is being done
    QLabel* Label2;  // files
    QLabel* Label3;  // bytes
    QLabel* Label4;  // the file under way
    QProgressBar* ProgressBar1;
    QPushButton* Button1;  // 中止

signals:
    void CancelAsked();

protected:
    void closeEvent(QCloseEvent* event) override;
};

// "12.3 MB" and the like, for the eye.
QString SizeText(std::int64_t bytes);
