// The cleanup's portable rules: the three modes with their status texts,
// the root and the folders a path passes through, the name an opened find
// must resolve to, and the free name in the destination folder of the
// one-folder mode.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

enum class CleanMode { Delete, RecycleBin, OneFolder };

// The "Status" column of a processed file.
std::string CleanStatusText(CleanMode mode, bool succeeded);

// Every folder on the path below the drive root (or the share of a network
// path), outermost first, and the path itself: "C:\a\b\x.tmp" gives "C:\a",
// "C:\a\b", "C:\a\b\x.tmp". A link planted at any of them after the scan would
// lead the file operation elsewhere, so each is looked at before the file is
// touched, or before a file is moved into the destination folder.
std::vector<std::string> PathsFromRoot(const std::string& fullPath);

// The root a path starts from: "C:\" of "C:\a\x.tmp", "\\host\share\" of a
// network path; empty when it has none.
std::string PathRoot(const std::string& fullPath);

// Whether the name the system resolves an opened file to ("\\?\C:\a\x.tmp")
// is `name` in the folder that the system resolves to `folderName`
// ("\\?\C:\a", or "\\?\C:\" for a root), character for character: an open
// that follows a link ends at its target's name, and a name that differs
// only in case may be another file where names are case-sensitive. The file
// is judged by the folder it was opened in, not by the drive-letter text of
// its path: where a drive letter maps a folder of another drive (a SUBST
// drive), the system names the folder's files under one letter whichever
// was opened, Windows under the volume's, Wine under the deepest letter.
bool ResolvesToNameIn(std::string_view finalName, std::string_view folderName, std::string_view name);

// "name (2).ext", "name (3).ext"... for the n-th name; a name without an
// extension (a leading dot does not start one) gets " (n)" appended.
std::string NumberedName(const std::string& name, int n);

// The target path for moving a file called `name` into `folder`: the name
// itself when nothing of that name is there, else the first numbered name
// that is free. `exists` tells whether a path is taken.
std::string FreeTargetPath(const std::string& folder, const std::string& name,
                           const std::function<bool(const std::string&)>& exists);

// The last part of a path: what follows its last backslash.
std::string PathFileName(const std::string& path);

}  // namespace core
