// Picture controls. TImage shows one picture and, with AutoSize, takes its
// size; TImageEx is the picture button, which adds the mouse-enter and
// mouse-leave events (kept on every Control here, so it adds nothing else).
#pragma once

#include "win32/control.h"
#include "win32/picture.h"

namespace win32 {

class TImage : public Control {
public:
    explicit TImage(std::string name) : Control(std::move(name)) {}
    bool AutoSize = true;
    const Bitmap& Picture() const { return picture_; }
    // The control keeps its own copy; with AutoSize it resizes, and repaints.
    void SetPicture(const Bitmap& picture);
    // What the picture was last loaded from, for tests and screenshots.
    const std::string& PictureName() const { return pictureName_; }
    void SetPictureName(const std::string& name) { pictureName_ = name; }
    void Paint(HDC dc) override;

private:
    Bitmap picture_;
    std::string pictureName_;
};

class TImageEx : public TImage {
public:
    explicit TImageEx(std::string name) : TImage(std::move(name)) {}
};

// Loads a JPEG resource of the given name and type into the control unless
// its Tag is exactly 1. Nothing is cached: every call decodes anew. An
// unknown name raises "Resource %s not found" and leaves the picture.
void SetImageFromResource(TImage* image, const std::string& name, const std::string& type);

}  // namespace win32
