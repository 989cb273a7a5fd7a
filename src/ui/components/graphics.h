#pragma once
// Fonts and pictures shared by the windows.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

// A font of the named face at a character height in pixels (at 96 dpi),
// or, where that face cannot show Chinese (an English or German Windows:
// the system's code page is not 936 and the face has no Chinese glyphs of
// its own), the system's message font at that height, which Windows links
// to a Chinese face. Every window font is made here.
HFONT createReadableFont(const wchar_t* face, BYTE charset, int height96, UINT dpi, UINT codePage = GetACP());
// "宋体" (SimSun) at a character height in pixels (at 96 dpi), GB2312 charset.
HFONT createSongtiFont(int height96, UINT dpi);
// The dialogs' font: "宋体" with a character height of 12 pixels at 96 dpi.
inline HFONT createDialogFont(UINT dpi) { return createSongtiFont(12, dpi); }
// "MS Sans Serif" 8 point, the main window's font.
HFONT createSansSerifFont(UINT dpi);
// Sets a font on a window and every child it has.
void setFontOnTree(HWND window, HFONT font);

// Pictures come drawn at 100, 125, 150 and 200 per cent (NAME, NAME_125,
// NAME_150, NAME_200). For a dpi the largest copy that is not bigger than the
// dpi asks for is used, as it is drawn, never stretched: the side of a
// picture of size96 pixels at 96 dpi is pictureSize(size96, dpi).
int pictureSize(int size96, UINT dpi);
// The name of the copy of a picture (a resource of the type) drawn for the
// dpi, and its scale in per cent; the picture's own name when there is no
// such copy.
std::wstring pictureForDpi(const wchar_t* name, UINT dpi, const wchar_t* type, int* percent = nullptr);
// An image list from a horizontal strip of count square pictures of size96
// pixels each (at 96 dpi), a 32-bit bitmap resource with alpha.
HIMAGELIST loadImageStrip(const wchar_t* bitmapName, int size96, int count, UINT dpi = 96);
// One picture of such a strip as a premultiplied 32-bit DIB section, the
// form menus and AlphaBlend take.
HBITMAP stripPicture(const wchar_t* bitmapName, int size96, int index, UINT dpi = 96);
// A 32-bit bitmap resource with alpha, as a DIB section.
HBITMAP loadBitmapResource(const wchar_t* bitmapName);
// The copy of a PNG picture drawn for the dpi, as a 32-bit DIB section with
// straight alpha (see gdiplus_pictures.h).
HBITMAP loadPngPicture(const wchar_t* name, UINT dpi);

// Fills r with a gradient from one colour to another, top to bottom or left
// to right.
void fillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool vertical);

// Text in one colour ringed by a one-pixel outline in another (scaled to
// the dpi), so that light text reads on a light background too. The dc's
// font and background mode are used as they are.
void drawOutlinedText(HDC dc, int x, int y, const std::wstring& text, COLORREF colour, COLORREF outline, UINT dpi);

// A colour that lies between fromA and fromB (within a few steps of the
// straight line between them) moved to the same place between toA and toB;
// any other colour as it is. Recolours artwork drawn in one look's colours
// for another.
COLORREF recoloured(COLORREF colour, COLORREF fromA, COLORREF fromB, COLORREF toA, COLORREF toB);

// Draws the area (sourceX, sourceY, width, height) of a bitmap at (x, y) of
// dc: blended, for a premultiplied 32-bit picture with see-through parts, or
// copied as it is.
void blendBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX = 0, int sourceY = 0);
void copyBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX = 0, int sourceY = 0);

// Answers WM_PAINT through an off-screen picture of the client area, copied
// in one go so that nothing flickers.
void paintBuffered(HWND window, const std::function<void(HDC, const RECT& client)>& paint);
