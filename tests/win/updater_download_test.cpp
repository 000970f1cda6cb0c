// The updater's downloads: the HTTP client keeps the window answering while
// a connect waits, and one client fetches file after file.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/error.h"
#include "core/http_client.h"
#include "core/memory_stream.h"
#include "core/update_url.h"
#include "win32/app.h"
#include "win32/form.h"

namespace {

// A window that counts the timer ticks it is given.
class TickingForm : public win32::Form {
public:
    TickingForm() : Form("Ticking") {
        SetBorderStyle(win32::BorderStyle::Single);
        SetClientSize(100, 50);
        CreateForm();
        SetTimer(Handle(), 1, 20, nullptr);
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER) ++ticks;
        return Form::HandleMessage(message, wParam, lParam);
    }
    int ticks = 0;
};

TEST(UpdaterDownload, WindowKeepsAnsweringWhileAConnectWaits) {
    TickingForm window;
    core::HttpClient* self = nullptr;
    core::HttpClient client(core::UpdaterHttpSettings([&window, &self] {
        win32::App().ProcessMessages();
        if (window.ticks >= 10) self->Disconnect();  // the user gave up
    }));
    self = &client;
    core::MemoryStream dest;
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(client.Get("http://127.0.0.1:" + std::to_string(SCOURLY_STALL_PORT) + "/Scourly.exe", dest),
                 core::Error);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(window.ticks, 10);
    EXPECT_LT(seconds, 10.0);  // far from the 120 s connect limit: the stop came from the window
    EXPECT_EQ(dest.Size(), 0);
}

TEST(UpdaterDownload, FoldedHeaderOnALaterFileFailsThatFileOnly) {
    // The base ends in ".../update/"; the test routes sit at the server's root.
    std::string base = core::UpdateBaseURL();
    std::string root = base.substr(0, base.find('/', 7));
    core::HttpClient client(core::UpdaterHttpSettings([] { win32::App().ProcessMessages(); }));
    core::MemoryStream first, second, third;
    client.Get(root + "/t/short", first);
    // A head whose first header line is folded is refused, on any file.
    EXPECT_THROW(client.Get(root + "/t/folded", second), core::Error);
    client.Get(root + "/t/short", third);
    EXPECT_EQ(first.Size(), 5);
    EXPECT_EQ(second.Size(), 0);
    EXPECT_EQ(third.Size(), 5);
}

}  // namespace
