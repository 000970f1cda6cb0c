// A status bar with fixed-width panels; placed by its parent, never by itself.
#pragma once

#include <string>
#include <vector>

#include "win32/control.h"

namespace win32 {

struct StatusPanel {
    std::string text;
    int width;
    TextAlign align;
};

class StatusBar : public WinControl {
public:
    explicit StatusBar(std::string name) : WinControl(std::move(name)) {}
    void AddPanel(const StatusPanel& panel);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    const std::string& PanelText(int index) const { return panels_[index].text; }
    void SetPanelText(int index, const std::string& text);

protected:
    void CreateHandle(HWND parent) override;

private:
    void ShowPanels();
    std::vector<StatusPanel> panels_;
};

}  // namespace win32
