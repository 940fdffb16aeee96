#pragma once

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <memory>

class QThreadPool;
class QTimer;
class ThumbnailMaker;
struct ThumbnailJobs;

// Thumbnails for the windows, made on worker threads so that a window never waits for one: a
// window asks for a file's thumbnail as it paints, gets it when it is at hand and is told when one
// arrives. Files asked for while in view are made before all others, the latest asked first; the
// rest follow. PDF files go to a worker of their own, one at a time. Kept in memory: a bounded
// number of the latest thumbnails, not one per file for ever.
class Thumbnails : public QObject {
    Q_OBJECT
public:
    explicit Thumbnails(std::shared_ptr<const ThumbnailMaker> maker, QObject* parent = nullptr);
    // Waits a moment for the workers; one stuck on a dead mount is left behind.
    ~Thumbnails() override;

    // The thumbnail of the file at `path` fitted into `size` pixels when it is at hand; otherwise a
    // null pixmap, and the file is asked for (in view: before the others). A file known to give no
    // thumbnail answers a null pixmap and is not asked for again.
    QPixmap Get(const QString& path, int size, bool inView);
    // True once the thumbnail of the file has arrived, or it is known that there is none.
    bool Known(const QString& path, int size) const;
    // Asks for each file behind the ones in view.
    void AskForAll(const QStringList& paths, int size);
    // Forgets what is queued and what is kept: a job under way finishes, its answer dropped.
    void Cancel();
    // Files asked for and not yet answered.
    int Waiting() const;

    // Bounds, for those that measure them.
    static constexpr qint64 kMemoryKiB = 64 * 1024;
    static constexpr int kGiveUpSeconds = 8;

signals:
    // A thumbnail arrived (or it turned out there is none) for the file.
    void Arrived(const QString& path, int size);

private:
    friend struct ThumbnailJobs;  // delivers what the workers made
    void Deliver(const QString& path, int size, const QImage& image);
    void CountStuckJobs();

    std::shared_ptr<ThumbnailJobs> jobs_;
    QCache<QString, QPixmap> kept_;
    QTimer* watch_;
};
