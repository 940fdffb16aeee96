#pragma once

#include <string>

// A package is made under a temporary name beside its target, ".qarto-send-" and six random letters or
// digits (with ".zip" for a ZIP file), and takes its name only once complete and checked. While it is
// made, a note in this desktop's own folder `notes` names it, so that what a run ended hard left behind
// is removed at the next start: only those names, and only when the run that made them has ended.

inline constexpr const char* kTemporaryStem = ".qarto-send-";

// A name of the program's own making: the stem, six letters or digits, ".zip" or nothing.
bool IsTemporaryPackageName(const std::string& name);

// Makes a temporary package beside the target in `folder` (the file system's encoding): an empty
// folder, or an empty file for a ZIP; answers its path (empty when it could not be made, `error` then
// says why), noted in `notes` until Done.
class TemporaryPackage {
public:
    TemporaryPackage(const std::string& notes, const std::string& folder, bool zip);
    // Removes what is left of the package unless it was renamed.
    ~TemporaryPackage();
    TemporaryPackage(const TemporaryPackage&) = delete;
    TemporaryPackage& operator=(const TemporaryPackage&) = delete;

    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    // Renames the package to `target`; an existing one is replaced only when `replace` (a folder is
    // moved aside first and removed after). False, the package left where it is, otherwise.
    bool RenameTo(const std::string& target, bool replace);

private:
    std::string note_;
    std::string path_;
    std::string error_;
    bool renamed_ = false;
};

// Removes the packages that notes in `notes` name for runs that have ended, and those notes.
void RemoveUnfinishedPackages(const std::string& notes);
