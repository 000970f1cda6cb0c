// The drive list of the wizard's first page: every local fixed drive with
// space, ticked, in letter order.
#include "cleaner/frm_main.h"

#include <shellapi.h>

#include <cstring>

#include "core/drive_space.h"

namespace cleaner {

void TFrm_Main::ListDrives() {
    ImageList_RemoveAll(DiskImageList);
    DiskListView->Clear();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string root = std::string(1, letter) + ":\\";
        if (GetDriveTypeA(root.c_str()) != DRIVE_FIXED) continue;
        ULARGE_INTEGER available, total;
        int64_t freeBytes = -1, totalBytes = -1;
        if (GetDiskFreeSpaceExA(root.c_str(), &available, &total, nullptr)) {
            freeBytes = static_cast<int64_t>(available.QuadPart);
            totalBytes = static_cast<int64_t>(total.QuadPart);
        }
        core::DriveSpace space = core::DriveSpaceInMB(freeBytes, totalBytes);
        if (!core::DriveHasSpace(space)) continue;
        int row = DiskListView->AddItem(GetDriveDisplayName(root), 0);
        DiskListView->AddSubItem(row, core::FormatMB(space.totalMB));
        DiskListView->AddSubItem(row, core::FormatMB(space.freeMB));
        DiskListView->AddSubItem(row, core::DriveKey(letter));  // never shown: no column
        DiskListView->SetChecked(row, true);
    }
}

std::string TFrm_Main::GetDriveDisplayName(const std::string& root) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(root.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_DISPLAYNAME);
    // The icon is asked for by the same call but shown nowhere.
    if (info.hIcon) DestroyIcon(info.hIcon);
    std::string name(info.szDisplayName, strnlen(info.szDisplayName, sizeof info.szDisplayName));
    // A row without a name would not say which drive it is.
    if (name.empty()) name = "(" + root.substr(0, 2) + ")";
    return name;
}

}  // namespace cleaner
