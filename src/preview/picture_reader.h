#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <chrono>
#include <optional>

struct PictureSource;

// A picture drawn by the picture reader, or none: for good (the file holds no picture the source
// can draw) or, `forNow`, for a reason of the moment (the file could not be read through, the
// reader crashed, took longer than allowed or could not be started).
struct Drawing {
    QImage picture;
    bool forNow = false;
};

// Draws the file by `source` in the picture reader, fitted into `side` x `side` pixels: a program
// of its own (qarto-groups-picture-reader, beside the program), kept running for the next file,
// with the memory cap of work run apart; one killed after `timeLimit`. Several threads may ask at
// once, each gets a reader of its own.
Drawing DrawApart(const PictureSource& source, const QString& path, int side,
                  std::chrono::milliseconds timeLimit);

// The picture reader's side: the answer to one request of DrawApart.
std::optional<QByteArray> AnswerPictureRequest(const QByteArray& request);
