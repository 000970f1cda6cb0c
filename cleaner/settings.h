// The cleaner's settings, read once at start-up from the product key.
#pragma once

#include <cstdint>
#include <string>

namespace cleaner {

struct TMyRegistryInfo {
    std::string HomePage;
    std::string HelpURL;
    int32_t OneScheduleOfWeek = 0;
    bool CheckUpdate = false;
};

// The one settings record of the run; zero until LoadSettings fills it.
extern TMyRegistryInfo MyRegistryInfo;

// Fills MyRegistryInfo from HKEY_CURRENT_USER\Software\Pelmora Scourly,
// creating the key and OneScheduleOfWeek = 0 when they are missing. A key
// that can't be had leaves the record as it is. A value of the wrong type
// raises a registry error.
void LoadSettings();

std::string DefaultHomePage();
std::string DefaultHelpURL();

}  // namespace cleaner
