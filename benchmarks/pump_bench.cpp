// How much the message points of a long loop cost: a loop of work items
// with no message processing (the baseline), processing at every item, and
// processing only when due. Usage: pump_bench.exe [items]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "win32/app.h"
#include "win32/form.h"

namespace {

volatile unsigned sink;

void Work(int i) {
    unsigned x = static_cast<unsigned>(i);
    // About the cost of one directory entry of a walk.
    for (int k = 0; k < 6000; ++k) x = x * 1664525u + 1013904223u;
    sink = x;
}

template <class Point>
double Run(int items, Point point) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < items; ++i) {
        Work(i);
        point();
    }
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    int items = argc > 1 ? atoi(argv[1]) : 100000;
    win32::Form form("Bench");
    form.SetBorderStyle(win32::BorderStyle::Single);
    form.SetClientSize(200, 100);
    form.Show();
    win32::Application& app = win32::App();
    double bare = Run(items, [] {});
    double every = Run(items, [&app] { app.ProcessMessages(); });
    double due = Run(items, [&app] { app.ProcessMessagesIfDue(); });
    printf("items %d\n", items);
    printf("no message points      %8.3f s\n", bare);
    printf("process at every item  %8.3f s  (%.2fx the baseline)\n", every, every / bare);
    printf("process when due       %8.3f s  (%.2fx the baseline)\n", due, due / bare);
    return 0;
}
