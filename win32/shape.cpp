#include "win32/shape.h"

namespace win32 {

void Shape::Paint(HDC dc) {
    HPEN pen = CreatePen(PS_SOLID, 1, PenColor);
    HBRUSH brush = CreateSolidBrush(color_);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, left_, top_, left_ + width_, top_ + height_);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

}  // namespace win32
