// Pictures: JPEG data decoded with libjpeg into a bitmap that paints on a
// device context, and loading such data from the program's resources.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

class Bitmap {
public:
    Bitmap() = default;
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    void Clear();
    // Paints the whole picture with its top-left corner at x, y.
    void Draw(HDC dc, int x, int y) const;
    // The colour of one pixel, for tests.
    COLORREF Pixel(int x, int y) const;

    // Decodes a complete JFIF file; raises an error for data that is none.
    static Bitmap FromJpeg(const void* data, size_t size);
    // A 24-bit bitmap resource (RT_BITMAP).
    static Bitmap FromBitmapResource(const std::string& name);

private:
    int width_ = 0, height_ = 0, stride_ = 0;
    std::vector<uint8_t> bgr_;  // bottom-up rows, as a DIB wants them
};

struct ResourceData {
    const void* data;
    size_t size;
};

// Finds a resource of the running program by name and type alone (any
// language; names match without regard to case). Raises
// "Resource %s not found" when there is none.
ResourceData FindResourceData(const std::string& name, const char* type);

// A JPEG picture stored as a resource.
Bitmap LoadJpegResource(const std::string& name, const char* type);

}  // namespace win32
