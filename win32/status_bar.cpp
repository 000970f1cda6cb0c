#include "win32/status_bar.h"

#include <commctrl.h>

namespace win32 {

void StatusBar::CreateHandle(HWND parent) {
    CreateWindowOf(STATUSCLASSNAMEA, WS_CHILD | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, parent);
    SendMessageA(hwnd_, SB_SETBKCOLOR, 0, color_);
    ShowPanels();
}

void StatusBar::AddPanel(const StatusPanel& panel) {
    panels_.push_back(panel);
    ShowPanels();
}

void StatusBar::SetPanelText(int index, const std::string& text) {
    panels_[index].text = text;
    ShowPanels();
}

void StatusBar::ShowPanels() {
    if (!hwnd_ || panels_.empty()) return;
    std::vector<int> edges;
    int right = 0;
    for (const StatusPanel& panel : panels_) edges.push_back(right += panel.width);
    SendMessageA(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < panels_.size(); ++i) {
        // A tab before the text centres it, two put it on the right.
        const char* prefix = panels_[i].align == TextAlign::Center  ? "\t"
                             : panels_[i].align == TextAlign::Right ? "\t\t"
                                                                     : "";
        std::string text = prefix + panels_[i].text;
        SendMessageA(hwnd_, SB_SETTEXTA, i | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

}  // namespace win32
