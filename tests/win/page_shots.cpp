// Renders each page of the wizard into a bitmap file, for the screenshots
// in docs/: the first page, then a real scan of the drives named, its
// report, the options and a cleanup into the Recycle Bin.
// Usage: page_shots.exe OUTPUT_FOLDER (a Windows path) DRIVES ("D:,E:").
#include <windows.h>

#include <cstdio>
#include <string>

#include "cleaner/frm_main.h"
#include "win32/app.h"

namespace {

bool SaveWindow(HWND hwnd, const std::string& path) {
    RECT r;
    GetWindowRect(hwnd, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * height, '\0');
    GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof header);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    FILE* out = fopen(path.c_str(), "wb");
    if (!out) return false;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&header, sizeof header, 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    fclose(out);
    return true;
}

void Settle() {
    for (int i = 0; i < 20; ++i) {
        win32::App().ProcessMessages();
        Sleep(25);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string folder = argv[1], drives = argv[2];
    win32::App().SetTitle("Pelmora Scourly");
    cleaner::TFrm_Main form;
    cleaner::Frm_Main = &form;
    form.Show();
    SetCursorPos(0, 0);
    for (int i = 0; i < form.DiskListView->Count(); ++i)
        form.DiskListView->SetChecked(i, drives.find(form.DiskListView->SubItem(i, 2)) != std::string::npos);
    int page = 0;
    auto shoot = [&] {
        Settle();
        return SaveWindow(form.Handle(), folder + "\\page" + std::to_string(++page) + ".bmp");
    };
    bool saved = shoot();
    form.ScanNowBtnClick(form.ScanNowBtn);
    saved = saved && shoot();
    form.NextBtnClick(form.NextBtn);
    saved = saved && shoot();
    form.NextBtn1Click(form.NextBtn1);
    saved = saved && shoot();
    form.NextBtn2Click(form.NextBtn2);
    saved = saved && shoot();
    cleaner::Frm_Main = nullptr;
    return saved ? 0 : 1;
}
