// Test entry under Wine: one application object for all tests, and no
// message box ever waits for a user.
#include <gtest/gtest.h>

#include "win32/app.h"
#include "win32/msgbox.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    win32::App().SetTitle("Pelmora Scourly");
    win32::SetMessageBoxAnswerer([](const win32::MessageBoxCall& call) {
        ADD_FAILURE() << "unexpected message box: " << call.text;
        return IDCANCEL;
    });
    return RUN_ALL_TESTS();
}
