#include "win32/picture.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "core/error.h"

namespace win32 {

namespace {

struct JpegErrorManager {
    jpeg_error_mgr base;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    longjmp(manager->jump, 1);
}

// Plain C-style decode: no objects with destructors live across setjmp.
bool DecodeJpeg(const void* data, size_t size, std::vector<uint8_t>* pixels, int* width,
                int* height, int* stride, char* error) {
    jpeg_decompress_struct info;
    JpegErrorManager manager;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = OnJpegError;
    manager.message[0] = 0;
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        snprintf(error, JMSG_LENGTH_MAX, "%s", manager.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, static_cast<const unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;  // a DIB's byte order
    jpeg_start_decompress(&info);
    *width = static_cast<int>(info.output_width);
    *height = static_cast<int>(info.output_height);
    *stride = (*width * 3 + 3) & ~3;
    pixels->assign(static_cast<size_t>(*stride) * *height, 0);
    while (info.output_scanline < info.output_height) {
        int row = *height - 1 - static_cast<int>(info.output_scanline);
        JSAMPROW line = pixels->data() + static_cast<size_t>(row) * *stride;
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

void Bitmap::Clear() {
    width_ = height_ = stride_ = 0;
    bgr_.clear();
}

void Bitmap::Draw(HDC dc, int x, int y) const {
    if (Empty()) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, x, y, width_, height_, 0, 0, 0, height_, bgr_.data(), &info,
                      DIB_RGB_COLORS);
}

COLORREF Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const uint8_t* p = bgr_.data() + static_cast<size_t>(height_ - 1 - y) * stride_ + x * 3;
    return RGB(p[2], p[1], p[0]);
}

Bitmap Bitmap::FromJpeg(const void* data, size_t size) {
    Bitmap bitmap;
    char error[JMSG_LENGTH_MAX] = {};
    if (!DecodeJpeg(data, size, &bitmap.bgr_, &bitmap.width_, &bitmap.height_, &bitmap.stride_,
                    error))
        throw core::Error(std::string("JPEG error: ") + error);
    return bitmap;
}

Bitmap Bitmap::FromBitmapResource(const std::string& name) {
    HBITMAP handle = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!handle) throw core::Error("Resource " + name + " not found");
    BITMAP info = {};
    GetObjectA(handle, sizeof info, &info);
    Bitmap bitmap;
    bitmap.width_ = info.bmWidth;
    bitmap.height_ = info.bmHeight;
    bitmap.stride_ = (bitmap.width_ * 3 + 3) & ~3;
    bitmap.bgr_.assign(static_cast<size_t>(bitmap.stride_) * bitmap.height_, 0);
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = bitmap.width_;
    request.bmiHeader.biHeight = bitmap.height_;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 24;
    request.bmiHeader.biCompression = BI_RGB;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, handle, 0, bitmap.height_, bitmap.bgr_.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(handle);
    return bitmap;
}

ResourceData FindResourceData(const std::string& name, const char* type) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name.c_str(), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw core::Error("Resource " + name + " not found");
    return ResourceData{data, SizeofResource(module, found)};
}

Bitmap LoadJpegResource(const std::string& name, const char* type) {
    ResourceData resource = FindResourceData(name, type);
    return Bitmap::FromJpeg(resource.data, resource.size);
}

}  // namespace win32
