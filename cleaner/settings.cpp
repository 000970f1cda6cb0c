#include "cleaner/settings.h"

#include "core/product_key.h"
#include "core/update_url.h"
#include "win32/registry.h"

namespace cleaner {

TMyRegistryInfo MyRegistryInfo;

// The update server also serves the product pages.
std::string DefaultHomePage() { return core::ProductPageURL(); }

std::string DefaultHelpURL() { return core::HelpPageURL(); }

void LoadSettings() {
    win32::TRegistry registry(HKEY_CURRENT_USER);
    if (!registry.OpenKey(core::kProductKey, true)) return;
    TMyRegistryInfo& info = MyRegistryInfo;
    std::string text = registry.ReadString("HomePage");
    info.HomePage = text.empty() ? DefaultHomePage() : text;
    text = registry.ReadString("HelpURL");
    info.HelpURL = text.empty() ? DefaultHelpURL() : text;
    if (registry.ValueExists("OneScheduleOfWeek")) {
        info.OneScheduleOfWeek = registry.ReadInteger("OneScheduleOfWeek");
    } else {
        info.OneScheduleOfWeek = 0;
        registry.WriteInteger("OneScheduleOfWeek", 0);
    }
    info.CheckUpdate = registry.ReadString("CheckUpdate") == "1";
}

}  // namespace cleaner
