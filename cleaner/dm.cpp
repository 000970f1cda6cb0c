#include "cleaner/dm.h"

#include "win32/app.h"

namespace cleaner {

TDM* DM = nullptr;

TDM::TDM() {
    try {
        DataModuleCreate(nullptr);
    } catch (...) {
        win32::App().HandleException(std::current_exception());
    }
}

TDM::~TDM() { DataModuleDestroy(nullptr); }

void TDM::DataModuleCreate(win32::Control*) {}

void TDM::DataModuleDestroy(win32::Control*) {}

}  // namespace cleaner
