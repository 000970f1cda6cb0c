// What the cleanup costs over the bare file operations it wraps: files
// spread over folders, made anew before every pass, removed once by a bare
// loop (DeleteFileA, or SHFileOperationA with the cleanup's flags) and once
// by the wizard's CleanJunkFiles in the matching mode, with its rows, gauge,
// message points and the check of each path for planted links.
// Usage: cleanup_bench.exe [files] [files per folder] [rounds]
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

struct Pass {
    const char* name;
    double seconds = 1e9;
};

}  // namespace

int main(int argc, char** argv) {
    int files = argc > 1 ? atoi(argv[1]) : 20000;
    int perFolder = argc > 2 ? atoi(argv[2]) : 100;
    int rounds = argc > 3 ? atoi(argv[3]) : 2;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string root = std::string(temp) + "cleanup_bench_tree";
    RemoveTree(root);

    win32::App().SetTitle("Pelmora Scourly");
    cleaner::TFrm_Main form;
    cleaner::Frm_Main = &form;
    if (!getenv("BENCH_HIDDEN")) form.Show();
    form.DataNotebook->SetPageIndex(4);

    // Each pass starts from the same state: an empty Recycle Bin, the files
    // made anew, and a moment for the file system to write them out. The
    // pairs run in turn in both orders; the best time of each pass is kept.
    Pass bareDelete{"bare DeleteFileA loop"}, cleanDelete{"CleanJunkFiles, permanent deletion"};
    Pass bareRecycle{"bare SHFileOperationA loop"}, cleanRecycle{"CleanJunkFiles, Recycle Bin"};
    std::vector<std::string> paths;
    auto fresh = [&] {
        EmptyTrash();
        paths = MakeFiles(root, files, perFolder);
        Sleep(1000);
    };
    int failures = 0;
    auto bare = [&](Pass& pass, int (*loop)(const std::vector<std::string>&)) {
        fresh();
        pass.seconds = std::min(pass.seconds, Timed([&] { failures += loop(paths); }));
    };
    auto clean = [&](Pass& pass, win32::RadioButton* mode) {
        fresh();
        PrepareWizard(form, paths);
        mode->SetChecked(true);
        pass.seconds = std::min(pass.seconds, Timed([&] { form.CleanJunkFiles(); }));
        failures += NotDeleted(form);
    };
    for (int round = 0; round < rounds; ++round) {
        const bool bareFirst = round % 2 == 0;
        if (bareFirst) bare(bareDelete, BareDelete);
        clean(cleanDelete, form.RadioButton1);
        if (!bareFirst) bare(bareDelete, BareDelete);
        if (bareFirst) bare(bareRecycle, BareRecycle);
        clean(cleanRecycle, form.RadioButton2);
        if (!bareFirst) bare(bareRecycle, BareRecycle);
    }
    EmptyTrash();
    RemoveTree(root);

    printf("%d files, %d per folder; best of %d passes each, files made anew before every pass\n", files, perFolder,
           rounds);
    for (const Pass* p : {&bareDelete, &cleanDelete, &bareRecycle, &cleanRecycle})
        printf("  %-36s %8.3f s\n", p->name, p->seconds);
    printf("permanent deletion: %.2fx its baseline\n", cleanDelete.seconds / bareDelete.seconds);
    printf("Recycle Bin:        %.2fx its baseline\n", cleanRecycle.seconds / bareRecycle.seconds);
    if (failures) printf("%d files were not removed\n", failures);
    cleaner::Frm_Main = nullptr;
    return failures ? 1 : 0;
}
