// The updater's download path as the user runs it: the window shown, one
// descriptor row, the run with its backup step, the client's events, the
// gauge and the list cell, and the completion question (answered No).
// Usage: download_bench.exe FOLDER
// FOLDER (with a trailing backslash) holds the Update.ini the driver wrote.
// Prints "seconds <s> peak_mb <mb>".
#include <windows.h>

#include <cstdio>

#include "peak_memory.h"
#include "updater/main_form.h"
#include "win32/app.h"
#include "win32/msgbox.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: download_bench.exe FOLDER\n");
        return 2;
    }
    win32::App().SetTitle("Pelmora Update");
    win32::SetMessageBoxAnswerer([](const win32::MessageBoxCall& call) {
        if (call.flags & MB_ICONERROR) fprintf(stderr, "error box: %s\n", call.text.c_str());
        return IDNO;
    });
    updater::TMainForm form;
    form.ProgramDir = argv[1];
    win32::App().SetMainForm(&form);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    win32::App().Run();  // shows the window; its first activation starts the run
    QueryPerformanceCounter(&end);
    printf("seconds %.3f peak_mb %.1f\n", double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart),
           PeakWorkingSetMb());
    return 0;
}
