#include "core/report_figures.h"

#include <stdexcept>

namespace core {

std::string DriveOfPath(const std::string& fullPath) {
    if (fullPath.size() < 2 || fullPath[1] != ':') return std::string();
    std::string drive = fullPath.substr(0, 2);
    // ASCII only: a locale must not change which drive a path is on.
    if (drive[0] >= 'a' && drive[0] <= 'z') drive[0] = static_cast<char>(drive[0] - 'a' + 'A');
    return drive;
}

DriveFigures CountDriveFiles(const FoundFileList& files, const std::string& driveKey) {
    DriveFigures figures;
    for (const auto& file : files) {
        if (DriveOfPath(file->FullPath) != driveKey) continue;
        ++figures.count;
        figures.bytes += file->Size;
    }
    return figures;
}

std::string KbText(int64_t bytes) { return std::to_string(bytes / 1024) + " KB"; }

int64_t ReadFigure(const std::string& text) {
    std::string rest = text;
    for (size_t at = 0; (at = rest.find("KB", at)) != std::string::npos;) rest.erase(at, 2);
    size_t first = 0, last = rest.size();
    while (first < last && static_cast<unsigned char>(rest[first]) <= 32) ++first;
    while (last > first && static_cast<unsigned char>(rest[last - 1]) <= 32) --last;
    rest = rest.substr(first, last - first);
    size_t used = 0;
    int64_t value = std::stoll(rest, &used);
    if (used != rest.size()) throw std::invalid_argument("not an integer: " + text);
    return value;
}

std::string DetailText(const TTempFileInfo& file) {
    return "FileName: " + file.FileName + "\rPath: " + file.FullPath + "\rSize: " +
           std::to_string(file.Size / 1024) + "KB";
}

}  // namespace core
