// The scan: Scan Now walks every ticked drive and records the entries whose
// names match a ticked junk type.
#include "cleaner/frm_main.h"

#include <cstring>
#include <string_view>

#include "core/junk_match.h"
#include "core/walk_rules.h"
#include "win32/app.h"

namespace cleaner {

namespace {

// A walk that was stopped still unwinds after Stop has set ScanState to 2,
// processing messages on its way out; a Scan Now let in then would run a
// second walk inside the first. One wizard per program, so one flag.
bool walkUnderWay = false;

class WalkUnderWay {
public:
    WalkUnderWay() { walkUnderWay = true; }
    ~WalkUnderWay() { walkUnderWay = false; }
};

bool IsExistingFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The ticked rows of the junk list, first to last: whether one of them
// matches the name. A stop seen on the way ends the test without a match.
// Runs for every row and every file of a drive, so each row costs no more
// than a tick read and a compare in place.
bool MatchesTickedRow(win32::Application& app, const win32::ListView& rows, const core::JunkName& name) {
    int count = rows.Count();
    for (int i = 0; i < count; ++i) {
        app.ProcessMessagesIfDue();
        if (ScanState == 2) return false;
        if (rows.Checked(i) && name.MatchedBy(rows.Caption(i))) return true;
    }
    return false;
}

}  // namespace

void TFrm_Main::ScanNowBtnClick(win32::Control*) {
    if (ScanState == 1 || walkUnderWay) return;
    DataNotebook->SetPageIndex(1);
    SaveJunkTypes();
    WalkUnderWay guard;
    ScanState = 1;
    FillScanList();
    ScanDrives();
    if (ScanState == 1) ScanState = 3;
}

void TFrm_Main::StopScanBtnClick(win32::Control*) {
    ScanState = 2;
    NextBtnClick(NextBtn);
}

void TFrm_Main::FillScanList() {
    ScanListView->Clear();
    for (int i = 0; i < DiskListView->Count(); ++i) {
        if (!DiskListView->Checked(i)) continue;
        int row = ScanListView->AddItem(DiskListView->Caption(i), DiskListView->ImageIndex(i));
        // Sub-item 0 is the Status cell, empty until the drive's walk starts.
        ScanListView->AddSubItem(row, "");
        // Sub-item 1, beyond the visible columns, is the drive key ("C:"):
        // the drive root the walk reads.
        ScanListView->AddSubItem(row, DiskListView->SubItem(i, 2));
    }
}

void TFrm_Main::ScanDrives() {
    FoundFiles_.clear();
    int count = ScanListView->Count();
    for (int i = 0; i < count; ++i) {
        if (ScanState == 2) break;
        // The row's Status cell, and its drive key as the root to walk.
        ScanListView->SetSubItem(i, 0, "Scanning");
        ScanFolder(ScanListView->SubItem(i, 1));
        ScanListView->SetSubItem(i, 0, ScanState == 2 ? "User Stop" : "Finished");
        win32::App().ProcessMessagesIfDue();
    }
    ScanMessage->SetCaption("");
}

void TFrm_Main::ScanFolder(const std::string& folder) {
    // Asked for in every folder: it is what the system says now.
    std::string winDir = core::AsciiLower(GetWindowsFolder());
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    win32::Application& app = win32::App();
    // One path for the whole folder, each entry's name put in place of the
    // last one's: no string is made per entry.
    std::string path = folder + "\\";
    const size_t nameStart = path.size();
    path.reserve(nameStart + sizeof entry.cFileName);
    do {
        if (ScanState == 2) break;
        app.ProcessMessagesIfDue();
        std::string_view name(entry.cFileName, strnlen(entry.cFileName, sizeof entry.cFileName));
        path.resize(nameStart);
        path.append(name);
        DWORD attributes = entry.dwFileAttributes;
        if (core::IsListedAttributeValue(attributes)) {
            // The scan page's path label: the entry being examined.
            ScanMessage->SetCaption(path);
            if (core::LeadsIntoFolder(attributes) && name != "." && name != ".." && IsExistingFolder(path) &&
                core::AsciiLower(path) != winDir)
                ScanFolder(path);
        }
        // A folder is never a find: the cleanup handles every find as one file.
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) && MatchesTickedRow(app, *JunkFilesListView, core::JunkName(name))) {
            auto found = std::make_unique<core::TTempFileInfo>();
            found->FileName = name;
            found->FullPath = path;
            found->Size = static_cast<int64_t>(entry.nFileSizeHigh) << 32 | entry.nFileSizeLow;
            FoundFiles_.push_back(std::move(found));
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

std::string TFrm_Main::GetWindowsFolder() {
    char buffer[261];
    if (!GetWindowsDirectoryA(buffer, sizeof buffer)) return std::string();
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace cleaner
