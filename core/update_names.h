// The names the updater derives for one listed file: its row caption from
// the descriptor's URL, the URL from a descriptor line, the backup name, and
// the test that keeps a name inside the program directory.
#pragma once

#include <string>

namespace core {

// The URL of a descriptor line "key=URL": everything after the first "="
// (a line without one is taken whole).
std::string UrlOfLine(const std::string& line);

// The URL with every occurrence of `base` removed, exactly and with case;
// for a URL below the base this is the file's path relative to the program
// directory, forward slashes kept.
std::string CaptionOfUrl(const std::string& url, const std::string& base);

// The relative name with its extension replaced by ".BAK", or ".BAK"
// appended when it has none. The extension starts at the last "." after
// the last "\" and the last ":"; "/" is no separator here, so x.dll and
// x.exe of one folder share x.BAK.
std::string BackupName(const std::string& relative);

// The n-th name a backup of the relative name may take, from 0: the backup
// name, then the relative name with ".BAK" appended ("x.dll.BAK"), then
// "x.dll (2).BAK", "x.dll (3).BAK"... The run takes the first that holds
// nothing it must keep.
std::string BackupNameCandidate(const std::string& relative, int n);

// False for a relative name that could reach outside the program directory:
// empty, absolute, with a drive or UNC prefix, or with a ".." segment ("\"
// and "/" both separate; a segment of dots and blanks counts, as the system
// trims those); and false for one that the system reads as another name: a
// segment that ends in a dot or a blank (dropped, so "a.dll." is "a.dll"),
// or a colon anywhere (a stream of a file, "a.dll:s"). The caller still
// checks where the system's normalisation puts the full path (device names,
// for one).
bool StaysInProgramDirectory(const std::string& relative);

}  // namespace core
