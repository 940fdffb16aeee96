#pragma once

#include <string>
#include <string_view>

// A file that appears under its name only once it is completely written and on the disk: it is
// written under a temporary name of its own beside it (`temporaryStem` and a random ending, see
// unique_file.h) and renamed by Commit. A power cut, a full disk or an abandoned write leaves the
// previous file (or none), never a part of the new one; an uncommitted temporary file is removed
// when the object goes.
class DurableFile {
public:
    // The file is made with `mode` less the umask.
    DurableFile(std::string path, const std::string& temporaryStem, int mode = 0666);
    ~DurableFile();
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    // The temporary file could be created.
    bool Opened() const { return handle_ >= 0; }
    bool Append(std::string_view bytes);
    // Flushes the bytes to the disk, renames the file to its name and makes the rename durable.
    bool Commit();

private:
    void Abandon();

    std::string path_;
    std::string temporary_;
    int handle_ = -1;
};
