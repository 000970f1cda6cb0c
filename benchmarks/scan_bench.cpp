// What the scan costs over a bare walk of the same tree: a tree of files in
// many folders, walked once with FindFirstFileA/FindNextFileA alone (the
// baseline) and once by the wizard's ScanFolder with the built-in junk types
// ticked. Usage: scan_bench.exe [folders] [files per folder]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cleaner/frm_main.h"
#include "win32/app.h"

namespace {

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

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
    int folders = argc > 1 ? atoi(argv[1]) : 1000;
    int files = argc > 2 ? atoi(argv[2]) : 50;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string root = std::string(temp) + "scan_bench_tree";
    MakeTree(root, folders, files);

    cleaner::TFrm_Main form;
    cleaner::Frm_Main = &form;
    for (int i = 0; i < form.JunkFilesListView->Count(); ++i) form.JunkFilesListView->SetChecked(i, true);
    form.Show();

    LARGE_INTEGER t0, t1, t2;
    BareWalk(root);  // warm the caches for both runs
    QueryPerformanceCounter(&t0);
    long entries = BareWalk(root);
    QueryPerformanceCounter(&t1);
    form.ScanFolder(root);
    QueryPerformanceCounter(&t2);
    double bare = Seconds(t0, t1), scan = Seconds(t1, t2);
    printf("tree %d folders, %d files each, %ld entries walked; %d junk types ticked\n", folders, files, entries,
           form.JunkFilesListView->Count());
    printf("bare FindFirstFileA walk  %8.3f s\n", bare);
    printf("ScanFolder                %8.3f s  (%.2fx the baseline), %zu found\n", scan, scan / bare,
           form.FoundFiles().size());
    cleaner::Frm_Main = nullptr;
    RemoveTree(root);
    return 0;
}
