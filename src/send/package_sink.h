#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Where the files of a package are written, one after another: a folder or a ZIP file, each made
// under a temporary name of its own (see temporary_package.h) and left there for the caller to check
// and rename. Entry names are the package's names (code-page bytes, parts separated by '/').
class PackageSink {
public:
    virtual ~PackageSink() = default;

    // `size` is what the file held when it was opened; `modified` its last write, seconds since 1970.
    virtual bool BeginEntry(const std::string& name, std::int64_t size, std::int64_t modified) = 0;
    virtual bool Write(const char* bytes, std::size_t size) = 0;
    virtual bool EndEntry() = 0;
    // Everything written is complete and on the disk.
    virtual bool Finish() = 0;
    // What went wrong, in the system's words.
    virtual std::string Error() const = 0;
};

// What a ZIP package stores its names in.
enum class ZipNames {
    Utf8,   // with the language encoding flag (general purpose bit 11)
    Cp932,  // for archivers that know no UTF-8, with the Info-ZIP Unicode Path extra field beside
};
