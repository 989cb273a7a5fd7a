#pragma once
// Fonts and pictures shared by the windows.

#include <windows.h>
#include <commctrl.h>

#include <functional>

// "宋体" (SimSun) at a character height in pixels (at 96 dpi), GB2312 charset.
HFONT createSongtiFont(int height96, UINT dpi);
// "MS Sans Serif" 8 point, the main window's font.
HFONT createSansSerifFont(UINT dpi);
// Sets a font on a window and every child it has.
void setFontOnTree(HWND window, HFONT font);

// An image list from a horizontal strip of count square pictures of size
// pixels each, a 32-bit bitmap resource with alpha.
HIMAGELIST loadImageStrip(const wchar_t* bitmapName, int size, int count);
// One picture of such a strip as a premultiplied 32-bit DIB section, the
// form menus and AlphaBlend take.
HBITMAP stripPicture(const wchar_t* bitmapName, int size, int index);
// A 32-bit bitmap resource with alpha, as a DIB section.
HBITMAP loadBitmapResource(const wchar_t* bitmapName);

// Answers WM_PAINT through an off-screen picture of the client area, copied
// in one go so that nothing flickers.
void paintBuffered(HWND window, const std::function<void(HDC, const RECT& client)>& paint);
