// What the cleanup costs over the bare file operations it wraps: files
// spread over folders, removed half by a bare loop (DeleteFileA, or
// SHFileOperationA with the cleanup's flags) and half by the wizard's
// CleanJunkFiles in the matching mode, with its rows, gauge, message points
// and the check of each path for planted links.
//
// The two sides take turns in batches, each batch's first side alternating,
// on files made together before the round: under Wine each of these calls
// is a few round trips to the wineserver, whose latency follows what else
// the machine does at that moment, and a pass run on its own could take
// from one to several times its usual time. Passes timed apart, best of
// each, compared lucky moments rather than the work; batches side by side
// see the same machine, the same Trash and the same folders.
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

int BareDelete(const std::vector<std::string>& paths) {
    int failed = 0;
    for (const std::string& p : paths) failed += !DeleteFileA(p.c_str());
    return failed;
}

int BareRecycle(const std::vector<std::string>& paths) {
    int failed = 0;
    for (const std::string& p : paths) {
        std::string from = p + '\0' + '\0';
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
        failed += SHFileOperationA(&op) != 0;
    }
    return failed;
}

// The finds and the one ticked report row the cleanup reads.
void PrepareWizard(cleaner::TFrm_Main& form, const std::vector<std::string>& paths) {
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
    form.CleanupGauge->SetMaxValue(static_cast<int64_t>(paths.size()));
}

int NotDeleted(const cleaner::TFrm_Main& form) {
    int failed = static_cast<int>(form.FoundFiles().size()) - form.CleanerListView->Count();
    for (int i = 0; i < form.CleanerListView->Count(); ++i) failed += form.CleanerListView->SubItem(i, 0) != "File Deleted";
    return failed;
}

// One mode's two sides: the best round of each (its batches' seconds
// summed) and every round's ratio.
struct Pair {
    const char* bareName;
    const char* cleanName;
    int (*bareLoop)(const std::vector<std::string>&);
    win32::RadioButton* mode;
    double bareBest = 1e9, cleanBest = 1e9;
    std::vector<double> ratios;
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

    Pair pairs[] = {
        {"bare DeleteFileA loop", "CleanJunkFiles, permanent deletion", BareDelete, form.RadioButton1, 1e9, 1e9, {}},
        {"bare SHFileOperationA loop", "CleanJunkFiles, Recycle Bin", BareRecycle, form.RadioButton2, 1e9, 1e9, {}}};
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        for (Pair& pair : pairs) {
            // Both halves made at once, an empty Recycle Bin, and a moment
            // for the file system to write them out.
            EmptyTrash();
            std::vector<std::string> paths = MakeFiles(root, 2 * files, perFolder);
            Sleep(1000);
            pair.mode->SetChecked(true);
            double bare = 0, clean = 0;
            for (int start = 0, n = 0; start < 2 * files; start += 2 * batch, ++n) {
                const auto mid = paths.begin() + std::min(start + batch, 2 * files);
                const auto end = paths.begin() + std::min(start + 2 * batch, 2 * files);
                const std::vector<std::string> mine(paths.begin() + start, mid), theirs(mid, end);
                auto runBare = [&] { bare += Timed([&] { failures += pair.bareLoop(mine); }); };
                auto runClean = [&] {
                    if (theirs.empty()) return;
                    PrepareWizard(form, theirs);
                    clean += Timed([&] { form.CleanJunkFiles(); });
                    failures += NotDeleted(form);
                };
                if (n % 2 == 0) {
                    runBare();
                    runClean();
                } else {
                    runClean();
                    runBare();
                }
            }
            pair.bareBest = std::min(pair.bareBest, bare);
            pair.cleanBest = std::min(pair.cleanBest, clean);
            pair.ratios.push_back(clean / bare);
        }
    }
    EmptyTrash();
    RemoveTree(root);

    printf("%d files each side, %d per folder, in turns of %d files; %d rounds, files made anew for each\n", files,
           perFolder, batch, rounds);
    for (const Pair& p : pairs) {
        printf("  %-36s %8.3f s best\n", p.bareName, p.bareBest);
        printf("  %-36s %8.3f s best\n", p.cleanName, p.cleanBest);
    }
    printf("permanent deletion: %.2fx its baseline (median of the rounds %.2fx)\n",
           pairs[0].cleanBest / pairs[0].bareBest, Median(pairs[0].ratios));
    printf("Recycle Bin:        %.2fx its baseline (median of the rounds %.2fx)\n",
           pairs[1].cleanBest / pairs[1].bareBest, Median(pairs[1].ratios));
    if (failures) printf("%d files were not removed\n", failures);
    cleaner::Frm_Main = nullptr;
    return failures ? 1 : 0;
}
