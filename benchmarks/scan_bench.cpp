// What the scan costs over a bare walk of the same tree: a tree of files in
// many folders, walked with FindFirstFileA/FindNextFileA alone (the
// baseline) and by the wizard's drive loop, with the built-in junk types
// ticked and the tree as its one drive. The two run alternately, twice
// unless told, and the best time of each counts, so a busy moment of the
// machine does not decide the ratio.
// Usage: scan_bench.exe [folders] [files per folder] [runs]
// (5000 40 is a drive of 200,000 files).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "benchmarks/bench_util.h"
#include "cleaner/frm_main.h"
#include "win32/app.h"

namespace {

using bench::RemoveTree;
using bench::Seconds;

void MakeTree(const std::string& root, int folders, int files) {
    CreateDirectoryA(root.c_str(), nullptr);
    static const char* names[] = {"a.tmp", "b.txt", "c.dat", "d.log", "e.doc"};
    for (int f = 0; f < folders; ++f) {
        // Two levels, so the walk recurses as on a real drive.
        std::string folder = root + "\\g" + std::to_string(f / 50);
        CreateDirectoryA(folder.c_str(), nullptr);
        folder += "\\f" + std::to_string(f);
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int i = 0; i < files; ++i) {
            std::string path = folder + "\\" + std::to_string(i) + names[i % 5];
            HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
    }
}

long BareWalk(const std::string& folder) {
    long entries = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        ++entries;
        std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            entries += BareWalk(folder + "\\" + name);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    int folders = argc > 1 ? atoi(argv[1]) : 1000;
    int files = argc > 2 ? atoi(argv[2]) : 50;
    int runs = argc > 3 ? std::max(1, atoi(argv[3])) : 2;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string root = std::string(temp) + "scan_bench_tree";
    RemoveTree(root);  // what an interrupted run left
    MakeTree(root, folders, files);

    cleaner::TFrm_Main form;
    cleaner::Frm_Main = &form;
    for (int i = 0; i < form.JunkFilesListView->Count(); ++i) form.JunkFilesListView->SetChecked(i, true);
    // The tree is the scan list's one drive, walked from the drive loop.
    int row = form.ScanListView->AddItem("Bench");
    form.ScanListView->AddSubItem(row, "");
    form.ScanListView->AddSubItem(row, root);
    form.Show();

    BareWalk(root);  // warm the caches for both
    long entries = 0;
    double bare = 1e9, scan = 1e9;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER t0, t1, t2, t3;
        QueryPerformanceCounter(&t0);
        entries = BareWalk(root);
        QueryPerformanceCounter(&t1);
        // As a first scan finds it: an empty list, a scan running.
        form.MutableFoundFiles().clear();
        cleaner::ScanState = 1;
        QueryPerformanceCounter(&t2);
        form.ScanDrives();
        QueryPerformanceCounter(&t3);
        bare = std::min(bare, Seconds(t0, t1));
        scan = std::min(scan, Seconds(t2, t3));
    }
    cleaner::ScanState = 3;
    printf("tree %d folders, %d files each, %ld entries walked; %d junk types ticked\n", folders, files, entries,
           form.JunkFilesListView->Count());
    printf("bare FindFirstFileA walk  %8.4f s  (best of %d)\n", bare, runs);
    printf("scan of the drive         %8.4f s  (best of %d, %.2fx the baseline), %zu found\n", scan, runs, scan / bare,
           form.FoundFiles().size());
    cleaner::Frm_Main = nullptr;
    RemoveTree(root);
    return 0;
}
