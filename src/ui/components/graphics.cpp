#include "ui/components/graphics.h"

HFONT createSongtiFont(int height96, UINT dpi) {
  return CreateFontW(-MulDiv(height96, static_cast<int>(dpi), 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"宋体");
}

HFONT createSansSerifFont(UINT dpi) {
  // 8 point: a character height of 11 pixels at 96 dpi.
  return CreateFontW(-MulDiv(11, static_cast<int>(dpi), 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
}

namespace {

BOOL CALLBACK setFontOnChild(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

void setFontOnTree(HWND window, HFONT font) {
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(window, &setFontOnChild, reinterpret_cast<LPARAM>(font));
}

HBITMAP loadBitmapResource(const wchar_t* bitmapName) {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), bitmapName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HIMAGELIST loadImageStrip(const wchar_t* bitmapName, int size, int count) {
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32, count, 0);
  if (HBITMAP strip = loadBitmapResource(bitmapName)) {
    ImageList_Add(list, strip, nullptr);
    DeleteObject(strip);
  }
  return list;
}
