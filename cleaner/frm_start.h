// The splash window, shown while start-up reads the settings and creates
// the data module. The splash itself runs nothing: the update check is run
// by TDM's constructor (dm.cpp), which WinMain calls while the splash shows.
#pragma once

#include "win32/form.h"
#include "win32/image.h"

namespace cleaner {

class TFrm_Start : public win32::Form {
public:
    TFrm_Start();
    void FormCreate(win32::Control* sender);

    win32::TImage* Image1 = nullptr;
};

}  // namespace cleaner
