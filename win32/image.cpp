#include "win32/image.h"

namespace win32 {

void TImage::SetPicture(const Bitmap& picture) {
    Invalidate();
    picture_ = picture;
    if (AutoSize && !picture_.Empty() && GetAlign() == Align::None)
        SetBounds(left_, top_, picture_.Width(), picture_.Height());
    Invalidate();
}

void TImage::Paint(HDC dc) {
    if (picture_.Empty()) return;
    // Clip to the control, as a picture larger than its place is cut.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
    picture_.Draw(dc, left_, top_);
    RestoreDC(dc, saved);
}

void SetImageFromResource(TImage* image, const std::string& name, const std::string& type) {
    // Tag 1 freezes the picture: the cleanup sets it on Back and Finish while
    // it has them disabled, so a hover swap can't show them as live.
    if (image->Tag == 1) return;
    Bitmap picture = LoadJpegResource(name, type.c_str());
    image->SetPicture(Bitmap());
    image->SetPicture(picture);
    image->SetPictureName(name);
}

}  // namespace win32
