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

// The folders on the way to the file being processed (or to the one-folder
// mode's destination), outermost first, each held open without delete
// sharing. On Windows a held folder
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

    // Holds the folders open, outermost first; those already held from the
    // last call are kept, the others opened, resolved and, from `checkedFrom`
    // on, checked: each a folder, no reparse point.
    bool Hold(const std::vector<std::string>& paths, size_t checkedFrom);

private:
    // Closes the folders from the innermost down to `keep` of them.
    void Release(size_t keep);

    struct Held {
        std::string path;
        HANDLE handle;
        std::string name;  // resolved when opened; empty when it has none
    };
    std::vector<Held> held_;
};

// The name the system resolves the folder that `path` leads to, links
// followed ("\\?\C:\real" for a link "C:\dest" to "C:\real"); empty when it
// leads to no folder.
std::string ResolveFolder(const std::string& path);

// Cleans found files one after the other in one mode, each only while it is
// still the file that was found.
class FileCleaner {
public:
    // `folder`: the one-folder mode's destination as it was chosen, and
    // `resolved` what it resolved to then (ResolveFolder).
    FileCleaner(core::CleanMode mode, std::string folder, std::string resolved)
        : mode_(mode), folder_(std::move(folder)), resolved_(std::move(resolved)) {}

    // Whether the file was deleted, recycled or moved.
    bool Clean(const std::string& path);

private:
    // Whether files may be moved into the destination now: the chosen path
    // still leads to the folder it led to when it was chosen. A link chosen
    // as the destination is followed; one swapped in since is not. The
    // folders on the path are held, so on Windows none can be swapped, and
    // the path is resolved again before every move: the shell takes a
    // destination that is gone as the new name of the file, and a file there
    // as one to overwrite.
    bool AdmitsDestination();

    core::CleanMode mode_;
    std::string folder_, resolved_;
    // The way to each file, and the way to the destination folder.
    FolderChain source_, destination_;
};

}  // namespace cleaner
