#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "send/sha256.h"

// The SHA-256 of a stream read piece by piece, computed on a thread of its own while the next pieces
// are read and written: the reader takes a buffer, reads a piece into it and hands it over, and may go
// on using it until it takes the next. A few pieces wait at the most; then the reader waits for the
// hashing.
class PieceHasher {
public:
    PieceHasher();
    ~PieceHasher();
    PieceHasher(const PieceHasher&) = delete;
    PieceHasher& operator=(const PieceHasher&) = delete;

    // A buffer of kStreamPiece bytes for the next piece.
    char* Buffer();
    // The first `size` bytes of the buffer taken last are the stream's next piece.
    void Add(std::size_t size);
    // The 64 hexadecimal digits of every piece added since the last digest.
    std::string HexDigest();

private:
    void Hash();

    std::vector<std::vector<char>> buffers_;
    std::vector<std::size_t> sizes_;
    std::size_t added_ = 0;   // pieces handed over
    std::size_t hashed_ = 0;  // of them, pieces hashed
    bool ending_ = false;
    Sha256 sha_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};
