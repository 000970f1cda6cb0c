// What the cleanup costs over the file operations it wraps: files spread
// over folders, removed a third each by a plain loop of the operation
// (DeleteFileA, or SHFileOperationA with the cleanup's flags), by a loop of
// the same operation with the checks the cleanup makes of each file, and by
// the wizard's CleanJunkFiles in the matching mode, with its rows, gauge,
// message points and held folders. The checked loop opens each file without
// following links, reads its attribute tag and final path, deletes through
// the handle (or lets it go and calls the shell), and looks whether the
// file is gone: against it, what is left is the cleanup's own cost.
//
// The sides take turns in batches, each batch's first side rotating, on
// files made together before the round: under Wine each of these calls is
// a few round trips to the wineserver, whose latency follows what else the
// machine does at that moment, and a pass run on its own could take from
// one to several times its usual time. Passes timed apart, best of each,
// compared lucky moments rather than the work; batches side by side see the
// same machine, the same Trash and the same folders.
// Usage: cleanup_bench.exe [files] [files per folder] [rounds] [batch]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "benchmarks/bench_util.h"
#include "cleaner/frm_main.h"
#include "core/report_figures.h"
#include "win32/app.h"

namespace {

using bench::RemoveTree;
using bench::Seconds;

std::vector<std::string> MakeFiles(const std::string& root, int files, int perFolder) {
    CreateDirectoryA(root.c_str(), nullptr);
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        // Two levels of folders, so each path has folders to check.
        std::string folder = root + "\\g" + std::to_string(i / perFolder / 20);
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\f" + std::to_string(i / perFolder);
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string path = folder + "\\junk" + std::to_string(i) + ".tmp";
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(h, "junk", 4, &written, nullptr);
            CloseHandle(h);
        }
        paths.push_back(path);
    }
    return paths;
}

// Under Wine the Recycle Bin is the Trash of HOME; emptied before each pass
// so that no pass pays for name clashes with an earlier one.
void EmptyTrash() {
    const char* data = getenv("XDG_DATA_HOME");
    if (!data) return;
    std::string trash = std::string("Z:") + data + "/Trash";
    std::replace(trash.begin(), trash.end(), '/', '\\');
    for (const char* part : {"\\files", "\\info"}) {
        RemoveTree(trash + part);
        CreateDirectoryA((trash + part).c_str(), nullptr);
    }
}

template <class F>
double Timed(F work) {
    LARGE_INTEGER t0, t1;
    QueryPerformanceCounter(&t0);
    work();
    QueryPerformanceCounter(&t1);
    return Seconds(t0, t1);
}

int PlainDelete(const std::vector<std::string>& paths) {
    int failed = 0;
    for (const std::string& p : paths) failed += !DeleteFileA(p.c_str());
    return failed;
}

int ShellRecycle(const std::string& path) {
    std::string from = path + '\0' + '\0';
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
    return SHFileOperationA(&op);
}

int PlainRecycle(const std::vector<std::string>& paths) {
    int failed = 0;
    for (const std::string& p : paths) failed += ShellRecycle(p) != 0;
    return failed;
}

// The file opened without following links, when it is a plain file whose
// final path is its own (the cleanup compares it with its folder's, which
// it resolves once a folder); else INVALID_HANDLE_VALUE.
HANDLE OpenChecked(const std::string& path, DWORD access, DWORD share) {
    HANDLE file = CreateFileA(path.c_str(), access | FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    FILE_ATTRIBUTE_TAG_INFO tag;
    char name[MAX_PATH + 8];
    DWORD length = 0;
    const bool plain =
        GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) &&
        !(tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
        (length = GetFinalPathNameByHandleA(file, name, sizeof name, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)) != 0 &&
        length < sizeof name && std::string(name, length) == "\\\\?\\" + path;
    if (plain) return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

bool Gone(const std::string& path) { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; }

int CheckedDelete(const std::vector<std::string>& paths) {
    int failed = 0;
    for (const std::string& p : paths) {
        HANDLE file = OpenChecked(p, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        if (file == INVALID_HANDLE_VALUE) {
            ++failed;
            continue;
        }
        FILE_DISPOSITION_INFO disposition = {TRUE};
        const bool deleted = SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
        CloseHandle(file);
        failed += !(deleted && Gone(p));
    }
    return failed;
}

int CheckedRecycle(const std::vector<std::string>& paths) {
    int failed = 0;
    for (const std::string& p : paths) {
        HANDLE file = OpenChecked(p, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        if (file == INVALID_HANDLE_VALUE) {
            ++failed;
            continue;
        }
        CloseHandle(file);
        ShellRecycle(p);
        failed += !Gone(p);
    }
    return failed;
}

// The finds and the one ticked report row the cleanup reads. The gauge
// counts the whole side's files, as in one run of them all, so that it
// repaints as often as it would there: a batch of its own would move it a
// percent every few files.
void PrepareWizard(cleaner::TFrm_Main& form, const std::vector<std::string>& paths, int runFiles) {
    form.MutableFoundFiles().clear();
    for (const std::string& p : paths) {
        auto rec = std::make_unique<core::TTempFileInfo>();
        rec->FullPath = p;
        rec->FileName = p.substr(p.rfind('\\') + 1);
        rec->Size = 4;
        form.MutableFoundFiles().push_back(std::move(rec));
    }
    form.ReportListView->Clear();
    int row = form.ReportListView->AddItem("Bench drive");
    form.ReportListView->AddSubItem(row, std::to_string(paths.size()));
    form.ReportListView->AddSubItem(row, "0 KB");
    form.ReportListView->AddSubItem(row, core::DriveOfPath(paths.front()));
    form.ReportListView->SetChecked(row, true);
    form.CleanupGauge->SetMaxValue(runFiles);
}

int NotDeleted(const cleaner::TFrm_Main& form) {
    int failed = static_cast<int>(form.FoundFiles().size()) - form.CleanerListView->Count();
    for (int i = 0; i < form.CleanerListView->Count(); ++i) failed += form.CleanerListView->SubItem(i, 0) != "File Deleted";
    return failed;
}

// One mode's three sides, the best round of each (its batches' seconds
// summed), and every round's ratios.
enum Side { kPlain, kChecked, kClean, kSides };
struct Mode {
    const char* name;
    const char* sideNames[kSides];
    int (*loops[kClean])(const std::vector<std::string>&);
    win32::RadioButton* radio;
    double best[kSides];
    std::vector<double> overChecked, overPlain, checkedOverPlain;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int files = argc > 1 ? atoi(argv[1]) : 10000;  // each side
    int perFolder = argc > 2 ? atoi(argv[2]) : 100;
    int rounds = argc > 3 ? atoi(argv[3]) : 3;
    int batch = argc > 4 ? atoi(argv[4]) : 500;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string root = std::string(temp) + "cleanup_bench_tree";
    RemoveTree(root);

    win32::App().SetTitle("Pelmora Scourly");
    cleaner::TFrm_Main form;
    cleaner::Frm_Main = &form;
    if (!getenv("BENCH_HIDDEN")) form.Show();
    form.DataNotebook->SetPageIndex(4);

    Mode modes[] = {
        {"permanent deletion",
         {"plain DeleteFileA loop", "checked delete-through-handle loop", "CleanJunkFiles, permanent deletion"},
         {PlainDelete, CheckedDelete},
         form.RadioButton1,
         {1e9, 1e9, 1e9},
         {},
         {},
         {}},
        {"Recycle Bin",
         {"plain SHFileOperationA loop", "checked SHFileOperationA loop", "CleanJunkFiles, Recycle Bin"},
         {PlainRecycle, CheckedRecycle},
         form.RadioButton2,
         {1e9, 1e9, 1e9},
         {},
         {},
         {}},
    };
    const int made = kSides * files;
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        for (Mode& mode : modes) {
            // The three thirds made at once, an empty Recycle Bin, and a
            // moment for the file system to write them out.
            EmptyTrash();
            std::vector<std::string> paths = MakeFiles(root, made, perFolder);
            Sleep(1000);
            mode.radio->SetChecked(true);
            double seconds[kSides] = {0, 0, 0};
            for (int start = 0, n = 0; start < made; start += kSides * batch, ++n) {
                for (int k = 0; k < kSides; ++k) {
                    const int side = (n + k) % kSides;
                    const auto from = paths.begin() + std::min(start + side * batch, made);
                    const auto to = paths.begin() + std::min(start + (side + 1) * batch, made);
                    const std::vector<std::string> mine(from, to);
                    if (mine.empty()) continue;
                    if (side == kClean) {
                        PrepareWizard(form, mine, files);
                        seconds[side] += Timed([&] { form.CleanJunkFiles(); });
                        failures += NotDeleted(form);
                    } else {
                        seconds[side] += Timed([&] { failures += mode.loops[side](mine); });
                    }
                }
            }
            for (int side = 0; side < kSides; ++side) mode.best[side] = std::min(mode.best[side], seconds[side]);
            mode.overChecked.push_back(seconds[kClean] / seconds[kChecked]);
            mode.overPlain.push_back(seconds[kClean] / seconds[kPlain]);
            mode.checkedOverPlain.push_back(seconds[kChecked] / seconds[kPlain]);
        }
    }
    EmptyTrash();
    RemoveTree(root);

    printf("%d files each side, %d per folder, in turns of %d files; %d rounds, files made anew for each\n", files,
           perFolder, batch, rounds);
    for (const Mode& m : modes)
        for (int side = 0; side < kSides; ++side) printf("  %-38s %8.3f s best\n", m.sideNames[side], m.best[side]);
    for (const Mode& m : modes) {
        printf("%s: %.2fx the checked loop (median of the rounds %.2fx), %.2fx the plain loop (median %.2fx);"
               " the checked loop is %.2fx the plain one (median %.2fx)\n",
               m.name, m.best[kClean] / m.best[kChecked], Median(m.overChecked), m.best[kClean] / m.best[kPlain],
               Median(m.overPlain), m.best[kChecked] / m.best[kPlain], Median(m.checkedOverPlain));
    }
    if (failures) printf("%d files were not removed\n", failures);
    cleaner::Frm_Main = nullptr;
    return failures ? 1 : 0;
}
