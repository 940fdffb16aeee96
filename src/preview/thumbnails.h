#pragma once

#include <QCache>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <memory>

#include "preview/file_stamp.h"

class QThreadPool;
class QTimer;
class ThumbnailMaker;
struct MadeThumbnail;
struct ThumbnailJobs;

// Thumbnails for the windows, made on worker threads so that a window never waits for one: a
// window asks for a file's thumbnail as it paints, gets it when it is at hand and is told when one
// arrives. Files asked for while in view are made before all others, the latest asked first; the
// rest follow. Each lane of picture sources has workers of its own (PDF files one at a time); a
// worker stuck on one file has another take its place. Kept in memory: a bounded number of the
// latest thumbnails, each with the time and size of the file it shows, not one per file for ever.
class Thumbnails : public QObject {
    Q_OBJECT
public:
    explicit Thumbnails(std::shared_ptr<const ThumbnailMaker> maker, QObject* parent = nullptr);
    // Waits a moment for the workers; one stuck on a dead mount is left behind.
    ~Thumbnails() override;

    // The thumbnail of the file at `path` fitted into `size` pixels when it is at hand; otherwise a
    // null pixmap, and the file is asked for (in view: before the others). A file known to give no
    // thumbnail answers a null pixmap and is not asked for again until LookAgain.
    QPixmap Get(const QString& path, int size, bool inView);
    // True once the thumbnail of the file has arrived, or it is known that there is none.
    bool Known(const QString& path, int size) const;
    // Asks for each file behind the ones in view.
    void AskForAll(const QStringList& paths, int size);
    // The files may have changed (a reload): each thumbnail kept is shown on while its file is
    // looked at again as it is asked for, and made anew when the file's time or size changed; those
    // that could not be made for a reason of the moment are made again.
    void LookAgain();
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
    // LookAgain was asked: the thumbnails shown are to be asked for again.
    void LookingAgain();

private:
    struct Kept {
        QPixmap pixmap;
        FileVersion file;
        bool forNow = false;
        quint64 lookedAt = 0;  // the round of LookAgain it was last looked at in
    };
    friend struct ThumbnailJobs;  // delivers what the workers made
    void Deliver(const QString& path, int size, const MadeThumbnail& made);
    void CountStuckJobs();

    std::shared_ptr<ThumbnailJobs> jobs_;
    QCache<QString, Kept> kept_;
    quint64 lookRound_ = 0;
    QTimer* watch_;
};
