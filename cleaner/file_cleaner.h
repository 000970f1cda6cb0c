// The cleanup's work on each found file: the checks that it is still the
// file the scan found, on the way the scan went, and the operation of the
// cleaning mode.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/cleanup_rules.h"

namespace cleaner {

// The folders on the way to the file being processed, from the drive root
// down, each held open without delete sharing. On Windows a held folder
// can't be renamed or removed, so none can be swapped for a junction or
// link: each is checked once, right after it is opened, and stays as
// checked while the files below it are processed (Wine does not enforce
// the sharing on renames). Each is resolved then too, to the name the
// system gives it, and a file is judged against the name of the folder it
// is opened in. Files of one folder follow each other in the finds, so few
// folders are opened and resolved; each file is checked on its own when it
// is opened.
class FolderChain {
public:
    FolderChain() = default;
    ~FolderChain() { Release(0); }
    FolderChain(const FolderChain&) = delete;
    FolderChain& operator=(const FolderChain&) = delete;

    // The name the system resolves the file's folder to ("\\?\C:\a"), when
    // the way to the file may be taken: its root and the folders below it
    // held, no folder below the root a reparse point; else nullptr.
    const std::string* AdmitsWayTo(const std::string& fullPath);

    // Whether files may be moved into the folder: it and every folder on its
    // path are folders, none a reparse point. The folder itself is looked at
    // on every call, held or not: the shell takes a destination that is gone
    // as the new name of the file, and a file there as one to overwrite.
    bool AdmitsFolder(const std::string& folder);

private:
    // Holds the folders open, outermost first; those already held from the
    // last call are kept, the others opened, resolved and, from `checkedFrom`
    // on, checked.
    bool Hold(const std::vector<std::string>& paths, size_t checkedFrom);
    // Closes the folders from the innermost down to `keep` of them.
    void Release(size_t keep);

    struct Held {
        std::string path;
        HANDLE handle;
        std::string name;  // resolved when opened; empty when it has none
    };
    std::vector<Held> held_;
};

// Cleans found files one after the other in one mode, each only while it is
// still the file that was found.
class FileCleaner {
public:
    // `folder`: the one-folder mode's destination.
    FileCleaner(core::CleanMode mode, std::string folder) : mode_(mode), folder_(std::move(folder)) {}

    // Whether the file was deleted, recycled or moved.
    bool Clean(const std::string& path);

private:
    core::CleanMode mode_;
    std::string folder_;
    // The way to each file, and the way to the destination folder.
    FolderChain source_, destination_;
};

}  // namespace cleaner
