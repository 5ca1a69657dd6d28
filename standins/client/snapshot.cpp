#include "snapshot.h"

#include <windows.h>

#include <stdio.h>

#include <vector>

namespace {

const int MARGIN = 24;

BOOL CALLBACK CollectProc(HWND hWnd, LPARAM lParam)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(hWnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

bool WriteBmp(const std::string& path, HDC hdc, HBITMAP hBitmap, int cx, int cy)
{
    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = cx;
    bih.biHeight = cy;  // bottom-up, as BMP files store it
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    DWORD cbRow = ((cx * 3) + 3) & ~3u;
    std::vector<BYTE> bits(static_cast<size_t>(cbRow) * cy);
    if (!GetDIBits(hdc, hBitmap, 0, cy, bits.data(), reinterpret_cast<BITMAPINFO*>(&bih),
                   DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(&bfh, sizeof bfh, 1, f) == 1 && fwrite(&bih, sizeof bih, 1, f) == 1 &&
              fwrite(bits.data(), bits.size(), 1, f) == 1;
    return fclose(f) == 0 && ok;
}

}  // namespace

bool SaveSnapshot(const std::string& path)
{
    std::vector<HWND> windows;  // top of the z-order first
    EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&windows));
    if (windows.empty())
        return false;
    RECT rcAll = {};
    for (HWND hWnd : windows) {
        RECT rc;
        GetWindowRect(hWnd, &rc);
        UnionRect(&rcAll, &rcAll, &rc);
    }
    InflateRect(&rcAll, MARGIN, MARGIN);
    int cx = rcAll.right - rcAll.left;
    int cy = rcAll.bottom - rcAll.top;

    HDC hdcScreen = GetDC(NULL);
    HDC hdc = CreateCompatibleDC(hdcScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdcScreen, cx, cy);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    RECT rcFill = {0, 0, cx, cy};
    FillRect(hdc, &rcFill, GetSysColorBrush(COLOR_APPWORKSPACE));

    // Bottom of the z-order first, so that menus end up over the viewer. Each window is painted
    // now and copied from its own surface, which holds what it drew whatever the display shows.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        RedrawWindow(*it, NULL, NULL,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT rc;
        GetWindowRect(*it, &rc);
        HDC hdcWnd = GetWindowDC(*it);
        BitBlt(hdc, rc.left - rcAll.left, rc.top - rcAll.top, rc.right - rc.left,
               rc.bottom - rc.top, hdcWnd, 0, 0, SRCCOPY);
        ReleaseDC(*it, hdcWnd);
    }

    SelectObject(hdc, hOld);
    bool ok = WriteBmp(path, hdc, hBitmap, cx, cy);
    DeleteObject(hBitmap);
    DeleteDC(hdc);
    ReleaseDC(NULL, hdcScreen);
    return ok;
}
