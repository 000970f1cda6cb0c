// The data module: the non-visual part of the cleaner that lives for the
// whole run. Its creation runs the start-up update check.
#pragma once

#include "win32/control.h"

namespace cleaner {

class TDM {
public:
    // Runs DataModuleCreate; an error it raises is shown in the error box
    // and start-up goes on.
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    void DataModuleCreate(win32::Control* sender);
    void DataModuleDestroy(win32::Control* sender);
};

extern TDM* DM;

}  // namespace cleaner
