// The control model shared by every window of both programs. A Control is a
// named child of a window; a WinControl has a window of its own and may hold
// children. Graphic controls (pictures, labels, frames, gauges) have no window:
// their parent paints them and forwards the mouse to them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace win32 {

class Control;
class WinControl;

enum class Align { None, Top, Bottom, Left, Right, Client };
enum class MouseButton { Left, Right, Middle };
enum class TextAlign { Left, Center, Right };

using NotifyEvent = std::function<void(Control* sender)>;
using MouseEvent = std::function<void(Control* sender, MouseButton button, int x, int y)>;

struct Font {
    std::string face = "MS Sans Serif";
    int points = 8;
    bool bold = false;
    bool underline = false;
    COLORREF color = RGB(0, 0, 0);
};
// One shared handle per distinct font; never freed before the program ends.
HFONT FontHandle(const Font& font);

class Control {
public:
    explicit Control(std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    WinControl* Parent() const { return parent_; }
    virtual HWND Handle() const { return nullptr; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    void SetBounds(int left, int top, int width, int height);
    Align GetAlign() const { return align_; }
    void SetAlign(Align align);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Visible here and in every parent up to the window.
    bool Showing() const;

    const Font& GetFont() const { return font_; }
    void SetFont(const Font& font);
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    // The cursor shown over the control; null is the arrow.
    HCURSOR Cursor() const { return cursor_; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }

    int Tag = 0;

    NotifyEvent OnClick;
    NotifyEvent OnDblClick;
    NotifyEvent OnMouseEnter;
    NotifyEvent OnMouseLeave;
    MouseEvent OnMouseDown;

    // The mouse-entered and mouse-left notifications of the idle step: the
    // parent hears of them first (ChildMouseNotify), then the event is raised.
    virtual void MouseEntered();
    virtual void MouseLeft();
    virtual void Click();

    // Graphic controls paint themselves here, in parent client coordinates.
    virtual void Paint(HDC dc);
    void Invalidate();
    // Where a point in screen coordinates lies in this control's parent.
    POINT ScreenToParent(POINT screen) const;

protected:
    friend class WinControl;
    virtual void BoundsChanged() {}
    virtual void VisibilityChanged() {}
    virtual void EnabledChanged() {}
    virtual void FontChanged() {}

    std::string name_;
    WinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    Align align_ = Align::None;
    bool visible_ = true;
    bool enabled_ = true;
    Font font_;
    COLORREF color_ = RGB(255, 255, 255);
    HCURSOR cursor_ = nullptr;
};

class WinControl : public Control {
public:
    explicit WinControl(std::string name);
    ~WinControl() override;

    HWND Handle() const override { return hwnd_; }
    const std::vector<Control*>& Children() const { return children_; }

    // Adds a child (not owned: the form owns every control). Windowed
    // children get their window under this one.
    void Insert(Control* child);
    void Remove(Control* child);
    // Lays out the aligned children: top, bottom, left, right, then the one
    // that fills the rest, each group in the order inserted.
    void Realign();

    // The innermost visible control at a point of this control's client
    // area; disabled controls count. Returns this when no child is there.
    Control* ControlAt(POINT client);
    // The topmost visible graphic child at a point, enabled ones only when asked.
    Control* GraphicChildAt(POINT client, bool enabledOnly);
    // The graphic child that holds the mouse between press and release.
    Control* PressedChild() const { return pressed_; }

    // Window messages, after the common window procedure has found the control.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A child's mouse-entered or mouse-left notification; nothing by default.
    virtual void ChildMouseNotify(Control* child, bool entered);
    // A notification (WM_COMMAND, WM_NOTIFY...) reflected from the parent.
    virtual LRESULT HandleReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

    // The control of a window of this process; null for any other window,
    // whatever property it carries.
    static WinControl* FromHandle(HWND hwnd);
    // The window procedure of the program's own window class.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static const char* ClassName();

protected:
    // Creates the window; derived classes name the class and styles.
    virtual void CreateHandle(HWND parent);
    // Whether the window goes on the group of the one before it (the arrows
    // of the dialog handling move within a group); every control but a radio
    // button is a group of its own.
    virtual bool JoinsGroup() const { return false; }
    void CreateWindowOf(const char* className, DWORD style, DWORD exStyle, HWND parent,
                        const char* text = "");
    // Fills the background and paints the graphic children.
    virtual void PaintWindow(HDC dc);
    void BoundsChanged() override;
    void VisibilityChanged() override;
    void EnabledChanged() override;
    void FontChanged() override;
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC systemProc_ = nullptr;  // for system classes: their own procedure
    std::vector<Control*> children_;
    Control* pressed_ = nullptr;
    HBRUSH brush_ = nullptr;

private:
    LRESULT MouseMessage(UINT message, LPARAM lParam);
    bool SetCursorFromChild();
};

// Hand cursor for picture buttons and links.
HCURSOR HandCursor();

}  // namespace win32
