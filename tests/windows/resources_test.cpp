// Checks the resources inside the built Horavel.exe against resource_names.h:
// every name is there, with the size, depth and format the windows rely on.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <winver.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "horavel_version.h"
#include "resource_names.h"
#include "ui/components/gdiplus_pictures.h"

namespace {

std::wstring horavelPath() {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + L"Horavel.exe";
}

std::string narrow(const wchar_t* text) {
  std::string out;
  for (; *text; ++text) out += static_cast<char>(*text < 128 ? *text : '?');
  return out;
}

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) { return u16(p) | static_cast<uint32_t>(u16(p + 2)) << 16; }

struct Bytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
  explicit operator bool() const { return data != nullptr; }
};

Bytes resource(HMODULE module, const wchar_t* name, const wchar_t* type) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return {};
  return {static_cast<const uint8_t*>(LockResource(loaded)), SizeofResource(module, found)};
}

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// A BITMAP resource: a BITMAPINFOHEADER, the palette, the pixels.
struct Dib {
  int width = 0, height = 0, bitsPerPixel = 0;
  uint32_t compression = 0, headerSize = 0, colours = 0;
  bool bottomUp = false;
  const uint8_t* palette = nullptr;
  const uint8_t* bits = nullptr;
  size_t bitsSize = 0;

  size_t stride() const { return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4; }
  const uint8_t* row(int y) const { return bits + stride() * static_cast<size_t>(bottomUp ? height - 1 - y : y); }
  Rgba at(int x, int y) const {
    if (bitsPerPixel == 32) {
      const uint8_t* p = row(y) + 4 * x;
      return {p[2], p[1], p[0], p[3]};
    }
    const uint8_t* q = palette + 4 * row(y)[x];
    return {q[2], q[1], q[0], 255};
  }
};

bool readDib(Bytes bytes, Dib& dib) {
  if (!bytes || bytes.size < 40) return false;
  dib.headerSize = u32(bytes.data);
  dib.width = static_cast<int32_t>(u32(bytes.data + 4));
  const int32_t height = static_cast<int32_t>(u32(bytes.data + 8));
  dib.bottomUp = height > 0;
  dib.height = std::abs(height);
  dib.bitsPerPixel = u16(bytes.data + 14);
  dib.compression = u32(bytes.data + 16);
  dib.colours = u32(bytes.data + 32);
  if (dib.bitsPerPixel <= 8 && dib.colours == 0) dib.colours = 1u << dib.bitsPerPixel;
  dib.palette = bytes.data + dib.headerSize;
  dib.bits = dib.palette + 4 * static_cast<size_t>(dib.bitsPerPixel <= 8 ? dib.colours : 0);
  dib.bitsSize = bytes.size - static_cast<size_t>(dib.bits - bytes.data);
  return dib.width > 0 && dib.height > 0 && dib.bitsSize >= dib.stride() * dib.height;
}

// The frames, delays and loop count of a GIF, read block by block.
struct GifInfo {
  bool valid = false;
  int width = 0, height = 0, frames = 0, loops = -1;
  std::vector<int> delays;
};

GifInfo readGif(Bytes gif) {
  GifInfo info;
  const uint8_t* p = gif.data;
  const uint8_t* end = gif.data + gif.size;
  if (gif.size < 13 || std::memcmp(p, "GIF89a", 6) != 0) return info;
  info.width = u16(p + 6);
  info.height = u16(p + 8);
  const uint8_t flags = p[10];
  p += 13;
  if (flags & 0x80) p += 3 * (2 << (flags & 7));
  auto skipSubBlocks = [&](const uint8_t* q) -> const uint8_t* {
    while (q < end && *q) q += 1 + *q;
    return q < end ? q + 1 : nullptr;
  };
  while (p && p < end) {
    if (*p == 0x3B) {
      info.valid = true;
      return info;
    }
    if (*p == 0x21 && p + 2 < end) {
      const uint8_t label = p[1];
      const uint8_t* block = p + 2;
      if (label == 0xF9 && block + 5 < end && *block == 4) info.delays.push_back(u16(block + 2));
      if (label == 0xFF && block + 16 < end && *block == 11 && std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0 &&
          block[12] == 3 && block[13] == 1)
        info.loops = u16(block + 14);
      p = skipSubBlocks(block);
    } else if (*p == 0x2C && p + 10 < end) {
      ++info.frames;
      const uint8_t local = p[9];
      p += 10;
      if (local & 0x80) p += 3 * (2 << (local & 7));
      p = skipSubBlocks(p + 1);  // after the LZW minimum code size
    } else {
      return info;
    }
  }
  return info;
}

// A RIFF WAVE resource: the format chunk's fields and the sample data.
struct Wave {
  bool valid = false;
  int formatTag = 0, channels = 0, samplesPerSecond = 0, bitsPerSample = 0, blockAlign = 0;
  uint32_t bytesPerSecond = 0;
  const uint8_t* data = nullptr;
  size_t dataSize = 0;
  double seconds() const { return bytesPerSecond ? static_cast<double>(dataSize) / bytesPerSecond : 0; }
};

Wave readWave(Bytes bytes) {
  Wave w;
  if (bytes.size < 12 || std::memcmp(bytes.data, "RIFF", 4) != 0 || std::memcmp(bytes.data + 8, "WAVE", 4) != 0)
    return w;
  if (u32(bytes.data + 4) + 8 > bytes.size) return w;
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= bytes.size;) {
    const uint8_t* chunk = bytes.data + at;
    const uint32_t size = u32(chunk + 4);
    if (at + 8 + size > bytes.size) return w;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
      w.formatTag = u16(chunk + 8);
      w.channels = u16(chunk + 10);
      w.samplesPerSecond = static_cast<int>(u32(chunk + 12));
      w.bytesPerSecond = u32(chunk + 16);
      w.blockAlign = u16(chunk + 20);
      w.bitsPerSample = u16(chunk + 22);
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      w.data = chunk + 8;
      w.dataSize = size;
    }
    at += 8 + size + (size & 1);
  }
  w.valid = haveFormat && w.data;
  return w;
}

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
  auto* names = reinterpret_cast<std::vector<std::wstring>*>(param);
  names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
  return TRUE;
}

std::vector<std::wstring> namesOfType(HMODULE module, const wchar_t* type) {
  std::vector<std::wstring> names;
  EnumResourceNamesW(module, type, collectName, reinterpret_cast<LONG_PTR>(&names));
  return names;
}

struct GroupEntry {
  int size, bitCount;
  uint32_t bytes;
  uint16_t id;
};

std::vector<GroupEntry> iconGroup(Bytes group) {
  std::vector<GroupEntry> entries;
  if (group.size < 6 || u16(group.data + 2) != 1) return entries;
  const int count = u16(group.data + 4);
  if (group.size < 6 + 14 * static_cast<size_t>(count)) return entries;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = group.data + 6 + 14 * i;
    entries.push_back({e[0] ? e[0] : 256, u16(e + 6), u32(e + 8), u16(e + 12)});
  }
  return entries;
}

bool isStrip(const res::BitmapFormat& format) {
  return format.name == res::kImageList1 || format.name == res::kImageList2 || format.name == res::kImageList3 ||
         format.name == res::kImageList4 || format.name == res::kNavIcons32;
}

int stripCount(const res::BitmapFormat& format) { return format.width / format.height; }

const res::BitmapFormat& formatOf(const wchar_t* name) {
  for (const auto& format : res::kBitmaps)
    if (format.name == name) return format;
  std::abort();
}

class ResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryExW(horavelPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  }
  static void TearDownTestSuite() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr) << "cannot load " << narrow(horavelPath().c_str()) << ", error " << GetLastError();
  }

  static Dib bitmap(const wchar_t* name) {
    Dib dib;
    EXPECT_TRUE(readDib(resource(module_, name, RT_BITMAP), dib)) << narrow(name);
    return dib;
  }

  static HMODULE module_;
};

HMODULE ResourcesTest::module_ = nullptr;

// Every bitmap, and the copies drawn for higher dpi at their scaled sizes.
std::vector<std::pair<std::wstring, res::BitmapFormat>> bitmapsAtEveryScale() {
  std::vector<std::pair<std::wstring, res::BitmapFormat>> all;
  for (const auto& format : res::kBitmaps) all.emplace_back(format.name, format);
  for (const wchar_t* name : res::kScaledBitmaps) {
    for (int percent : res::kPictureScales) {
      res::BitmapFormat scaled = formatOf(name);
      scaled.width = scaled.width * percent / 100;
      scaled.height = scaled.height * percent / 100;
      all.emplace_back(std::wstring(name) + L"_" + std::to_wstring(percent), scaled);
    }
  }
  return all;
}

TEST_F(ResourcesTest, BitmapsHaveTheirSizeDepthAndAlpha) {
  for (const auto& [name, want] : bitmapsAtEveryScale()) {
    SCOPED_TRACE(narrow(name.c_str()));
    Dib dib;
    ASSERT_TRUE(readDib(resource(module_, name.c_str(), RT_BITMAP), dib));
    EXPECT_EQ(dib.width, want.width);
    EXPECT_EQ(dib.height, want.height);
    EXPECT_EQ(dib.bitsPerPixel, want.bitsPerPixel);
    EXPECT_EQ(dib.compression, static_cast<uint32_t>(BI_RGB));
    if (want.bitsPerPixel != 32) continue;
    int clear = 0, opaque = 0, brighterThanAlpha = 0, colourUnderClear = 0;
    for (int y = 0; y < dib.height; ++y)
      for (int x = 0; x < dib.width; ++x) {
        const Rgba c = dib.at(x, y);
        clear += c.a == 0;
        opaque += c.a == 255;
        // impossible in premultiplied data, common at the soft edges of straight-alpha shapes
        brighterThanAlpha += c.a > 0 && c.a < 255 && std::max({c.r, c.g, c.b}) > c.a;
        // straight alpha written cleanly: no colour where there is no coverage
        colourUnderClear += c.a == 0 && (c.r || c.g || c.b);
      }
    EXPECT_EQ(colourUnderClear, 0);
    if (want.seeThrough) {
      EXPECT_GT(clear, 0);
      EXPECT_GT(opaque, 0);
      EXPECT_GT(brighterThanAlpha, 0) << "the alpha looks premultiplied";
    } else {
      EXPECT_EQ(opaque, dib.width * dib.height);
    }
  }
}

TEST_F(ResourcesTest, EveryPictureOfAStripIsDrawnAndDiffersFromTheOthers) {
  for (const auto& want : res::kBitmaps) {
    if (!isStrip(want)) continue;
    SCOPED_TRACE(narrow(want.name));
    const Dib dib = bitmap(want.name);
    ASSERT_EQ(dib.width, want.width);
    const int side = want.height;
    std::vector<std::vector<uint8_t>> cells;
    for (int i = 0; i < stripCount(want); ++i) {
      std::vector<uint8_t> cell;
      int covered = 0;
      for (int y = 0; y < side; ++y) {
        const uint8_t* row = dib.row(y) + 4 * side * i;
        cell.insert(cell.end(), row, row + 4 * side);
        for (int x = 0; x < side; ++x) covered += row[4 * x + 3] >= 128;
      }
      EXPECT_GE(covered, side * side / 8) << "picture " << i << " is (nearly) empty";
      EXPECT_LT(covered, side * side) << "picture " << i << " has no transparent margin";
      cells.push_back(std::move(cell));
    }
    for (size_t i = 0; i < cells.size(); ++i)
      for (size_t j = i + 1; j < cells.size(); ++j) EXPECT_NE(cells[i], cells[j]) << "pictures " << i << ", " << j;
  }
}

TEST_F(ResourcesTest, DisabledToolbarPicturesAreGreyedToolbarPictures) {
  const Dib colour = bitmap(res::kImageList3);
  const Dib grey = bitmap(res::kImageList4);
  ASSERT_TRUE(colour.width == grey.width && colour.height == grey.height);
  int coloured = 0;
  for (int y = 0; y < grey.height; ++y)
    for (int x = 0; x < grey.width; ++x) {
      const Rgba c = colour.at(x, y), g = grey.at(x, y);
      ASSERT_EQ(g.a, c.a) << "shape differs at " << x << "," << y;
      if (g.a == 0) continue;
      ASSERT_TRUE(g.r == g.g && g.g == g.b) << "not grey at " << x << "," << y;
      EXPECT_GE(g.r, 150) << "too dark for a disabled picture at " << x << "," << y;
      coloured += !(c.r == c.g && c.g == c.b);
    }
  EXPECT_GT(coloured, grey.width * grey.height / 10) << "the enabled pictures should be in colour";
}

TEST_F(ResourcesTest, LoadImageKeepsTheAlphaOfDibSections) {
  for (const auto& want : res::kBitmaps) {
    if (want.bitsPerPixel != 32) continue;
    SCOPED_TRACE(narrow(want.name));
    const Dib dib = bitmap(want.name);
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(module_, want.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(loaded, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(loaded, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    ASSERT_EQ(section.dsBm.bmWidth, want.width);
    ASSERT_EQ(std::abs(section.dsBmih.biHeight), want.height);
    ASSERT_NE(section.dsBm.bmBits, nullptr);
    const bool sameOrder = (section.dsBmih.biHeight > 0) == dib.bottomUp;
    const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    for (int y = 0; y < want.height; ++y) {
      const int stored = sameOrder ? y : want.height - 1 - y;
      EXPECT_EQ(std::memcmp(bits + section.dsBm.bmWidthBytes * static_cast<size_t>(stored),
                            dib.bits + dib.stride() * static_cast<size_t>(y), dib.stride()),
                0)
          << "row " << y;
    }
    DeleteObject(loaded);
  }
}

// The executable's own manifest asks for common controls 6; with it active,
// the strips go into 32-bit image lists and draw with their alpha.
TEST_F(ResourcesTest, StripsDrawWithTheirAlphaFromVersion6ImageLists) {
  const std::wstring exe = horavelPath();
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = exe.c_str();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  HANDLE context = CreateActCtxW(&request);
  ASSERT_NE(context, INVALID_HANDLE_VALUE) << "the manifest does not make an activation context";
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(context, &cookie));
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  // Side-by-side version 6 lives in the common-controls 6.0 assembly folder
  // (Wine's copy reports version 5 through DllGetVersion, so ask the path).
  wchar_t loadedFrom[MAX_PATH] = {};
  GetModuleFileNameW(comctl, loadedFrom, MAX_PATH);
  CharLowerW(loadedFrom);
  EXPECT_NE(std::wstring(loadedFrom).find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos)
      << narrow(loadedFrom);

  auto create = reinterpret_cast<decltype(&ImageList_Create)>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_Create")));
  auto add = reinterpret_cast<decltype(&ImageList_Add)>(reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_Add")));
  auto draw =
      reinterpret_cast<decltype(&ImageList_Draw)>(reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_Draw")));
  auto count = reinterpret_cast<decltype(&ImageList_GetImageCount)>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_GetImageCount")));
  auto destroy = reinterpret_cast<decltype(&ImageList_Destroy)>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "ImageList_Destroy")));
  ASSERT_TRUE(create && add && draw && count && destroy);

  for (const auto& want : res::kBitmaps) {
    if (!isStrip(want)) continue;
    SCOPED_TRACE(narrow(want.name));
    const int side = want.height;
    const Dib dib = bitmap(want.name);
    HIMAGELIST list = create(side, side, ILC_COLOR32, stripCount(want), 0);
    ASSERT_NE(list, nullptr);
    HBITMAP strip = static_cast<HBITMAP>(LoadImageW(module_, want.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(add(list, strip, nullptr), 0);
    DeleteObject(strip);
    ASSERT_EQ(count(list), stripCount(want));

    // Draw each picture on pure green and compare with blending it by hand.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    ASSERT_NE(target, nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    int worst = 0;
    for (int i = 0; i < stripCount(want); ++i) {
      auto* out = static_cast<uint32_t*>(pixels);
      std::fill(out, out + side * side, 0x0000FF00u);
      ASSERT_TRUE(draw(list, i, dc, 0, 0, ILD_NORMAL));
      GdiFlush();
      for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
          const Rgba s = dib.at(side * i + x, y);
          const uint32_t got = out[y * side + x];
          const int expect[3] = {s.r * s.a / 255, (s.g * s.a + 255 * (255 - s.a)) / 255, s.b * s.a / 255};
          const int have[3] = {static_cast<int>(got >> 16 & 0xFF), static_cast<int>(got >> 8 & 0xFF),
                               static_cast<int>(got & 0xFF)};
          for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(expect[k] - have[k]));
        }
    }
    EXPECT_LE(worst, 4) << "drawn pixels differ from straight-alpha blending";
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    destroy(list);
  }
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(context);
}

// A PNG picture as GDI+ reads it (the way the windows load it).
struct Png {
  HBITMAP bitmap = nullptr;
  DIBSECTION dib{};
  explicit Png(const std::wstring& name, HMODULE module) : bitmap(loadPngResource(name.c_str(), module)) {
    if (bitmap) GetObjectW(bitmap, sizeof dib, &dib);
  }
  ~Png() {
    if (bitmap) DeleteObject(bitmap);
  }
  int width() const { return dib.dsBm.bmWidth; }
  int height() const { return dib.dsBm.bmHeight; }
  Rgba at(int x, int y) const {
    const uint8_t* p = static_cast<const uint8_t*>(dib.dsBm.bmBits) +
                       static_cast<size_t>(dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidthBytes + 4 * x;
    return {p[2], p[1], p[0], p[3]};
  }
};

TEST_F(ResourcesTest, PngPicturesAtEveryScaleAndThePopupColourKeyedWithWhiteBehindTheLabels) {
  const Rgba key{res::kPopupKey.r, res::kPopupKey.g, res::kPopupKey.b, 255};
  const Rgba white{255, 255, 255, 255};
  for (const auto& want : res::kPngPictures) {
    for (int percent : {100, 125, 150, 200}) {
      const std::wstring name =
          percent == 100 ? std::wstring(want.name) : want.name + (L"_" + std::to_wstring(percent));
      SCOPED_TRACE(narrow(name.c_str()));
      const Png png(name, module_);
      ASSERT_NE(png.bitmap, nullptr);
      // The size a window lays it out at: scaled and rounded.
      ASSERT_EQ(png.width(), MulDiv(want.width, percent, 100));
      ASSERT_EQ(png.height(), MulDiv(want.height, percent, 100));
      int clear = 0, opaque = 0;
      for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x) {
          clear += png.at(x, y).a == 0;
          opaque += png.at(x, y).a == 255;
        }
      EXPECT_GT(opaque, 0);
      EXPECT_EQ(clear > 0, want.seeThrough);
      if (want.name != res::kPopup) continue;

      EXPECT_EQ(opaque, png.width() * png.height());
      const int right = png.width() - 1, bottom = png.height() - 1;
      for (auto [x, y] : {std::pair{0, 0}, {right, 0}, {0, bottom}, {right, bottom}})
        EXPECT_EQ(png.at(x, y), key) << "corner " << x << "," << y;
      // The figure's bounds grown to whole pixels, the label area shrunk to them.
      const res::Rect f{res::kPopupFigure.left * percent / 100, res::kPopupFigure.top * percent / 100,
                        ((res::kPopupFigure.right + 1) * percent + 99) / 100 - 1,
                        ((res::kPopupFigure.bottom + 1) * percent + 99) / 100 - 1};
      const res::Rect w{(res::kPopupWhite.left * percent + 99) / 100, (res::kPopupWhite.top * percent + 99) / 100,
                        (res::kPopupWhite.right + 1) * percent / 100 - 1,
                        (res::kPopupWhite.bottom + 1) * percent / 100 - 1};
      int figure = 0, strays = 0, nearKey = 0;
      for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x) {
          const Rgba c = png.at(x, y);
          const bool inside = x >= f.left && x <= f.right && y >= f.top && y <= f.bottom;
          if (c == key) continue;
          if (!inside) ++strays;
          ++figure;
          // a colour close to the key shows as a pink fringe around the figure
          nearKey += std::abs(c.r - 255) + c.g + std::abs(c.b - 255) < 90;
        }
      EXPECT_EQ(strays, 0) << "opaque pixels outside the figure's rectangle";
      EXPECT_EQ(nearKey, 0);
      EXPECT_GT(figure, (f.right - f.left + 1) * (f.bottom - f.top + 1) * 9 / 10);
      for (int y = w.top; y <= w.bottom; ++y)
        for (int x = w.left; x <= w.right; ++x) ASSERT_EQ(png.at(x, y), white) << "label area at " << x << "," << y;
    }
  }
}

TEST_F(ResourcesTest, IconsHoldTheirSizesAsThirtyTwoBitImages) {
  for (const auto& icon : res::kIcons) {
    SCOPED_TRACE(narrow(icon.name));
    const std::vector<GroupEntry> entries = iconGroup(resource(module_, icon.name, RT_GROUP_ICON));
    std::set<int> have, want(icon.sizes, icon.sizes + icon.count);
    for (const GroupEntry& e : entries) {
      have.insert(e.size);
      EXPECT_EQ(e.bitCount, 32) << e.size;
      const Bytes image = resource(module_, MAKEINTRESOURCEW(e.id), RT_ICON);
      ASSERT_TRUE(image) << "icon image " << e.id;
      EXPECT_EQ(image.size, e.bytes);
    }
    EXPECT_EQ(have, want);
    EXPECT_EQ(entries.size(), want.size());
    for (int size : want) {
      HICON loaded = static_cast<HICON>(LoadImageW(module_, icon.name, IMAGE_ICON, size, size, 0));
      ASSERT_NE(loaded, nullptr) << size;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(loaded, &info));
      BITMAP colour{};
      GetObjectW(info.hbmColor, sizeof colour, &colour);
      EXPECT_EQ(colour.bmWidth, size);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(loaded);
    }
  }
}

TEST_F(ResourcesTest, ExplorerFindsTheProgramIconFirst) {
  const std::vector<std::wstring> groups = namesOfType(module_, RT_GROUP_ICON);
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(CompareStringOrdinal(groups.front().c_str(), -1, res::kAppIcon, -1, TRUE), CSTR_EQUAL);
  const auto first = iconGroup(resource(module_, res::kAppIcon, RT_GROUP_ICON));
  const auto main = iconGroup(resource(module_, res::kMainIcon, RT_GROUP_ICON));
  ASSERT_EQ(first.size(), main.size());
  for (size_t i = 0; i < main.size(); ++i) {
    const Bytes a = resource(module_, MAKEINTRESOURCEW(first[i].id), RT_ICON);
    const Bytes b = resource(module_, MAKEINTRESOURCEW(main[i].id), RT_ICON);
    ASSERT_TRUE(a && b && a.size == b.size);
    EXPECT_EQ(std::memcmp(a.data, b.data, a.size), 0) << "entry " << i;
  }
}

TEST_F(ResourcesTest, AnimationHasFourHalfSecondFramesLoopingForeverAtEveryScale) {
  for (int percent : {100, 125, 150, 200}) {
    const std::wstring name =
        percent == 100 ? std::wstring(res::kAnimGif) : res::kAnimGif + (L"_" + std::to_wstring(percent));
    SCOPED_TRACE(narrow(name.c_str()));
    const GifInfo gif = readGif(resource(module_, name.c_str(), RT_RCDATA));
    ASSERT_TRUE(gif.valid);
    EXPECT_EQ(gif.width, MulDiv(res::kAnimWidth, percent, 100));
    EXPECT_EQ(gif.height, MulDiv(res::kAnimHeight, percent, 100));
    EXPECT_EQ(gif.frames, res::kAnimFrames);
    EXPECT_EQ(gif.delays, std::vector<int>(res::kAnimFrames, res::kAnimDelayCs));
    EXPECT_EQ(gif.loops, res::kAnimLoops);
  }
}

TEST_F(ResourcesTest, SoundsArePcmOfTheirFormatWithoutClipping) {
  for (const auto& want : res::kWaves) {
    SCOPED_TRACE(narrow(want.name));
    const Wave w = readWave(resource(module_, want.name, res::kWaveType));
    ASSERT_TRUE(w.valid);
    EXPECT_EQ(w.formatTag, 1);  // WAVE_FORMAT_PCM
    EXPECT_EQ(w.channels, want.channels);
    EXPECT_EQ(w.samplesPerSecond, want.samplesPerSecond);
    EXPECT_EQ(w.bitsPerSample, want.bitsPerSample);
    EXPECT_EQ(w.blockAlign, want.channels * want.bitsPerSample / 8);
    EXPECT_EQ(w.bytesPerSecond, static_cast<uint32_t>(want.samplesPerSecond * w.blockAlign));
    ASSERT_EQ(w.dataSize % w.blockAlign, 0u);
    int peak = 0;
    for (size_t i = 0; i + 1 < w.dataSize; i += 2)
      peak = std::max(peak, std::abs(static_cast<int>(static_cast<int16_t>(u16(w.data + i)))));
    EXPECT_LT(peak, 32767) << "clipped";
    EXPECT_GT(peak, 32768 / 4) << "nearly silent";
  }
}

TEST_F(ResourcesTest, RingAndChimesLastTheirTime) {
  EXPECT_EQ(readWave(resource(module_, res::kRing, res::kWaveType)).dataSize, res::kRingDataBytes);
  double longest = 0;
  int longestHour = 0;
  for (int hour = 1; hour <= 24; ++hour) {
    const Wave w = readWave(resource(module_, res::kChimes[hour - 1], res::kWaveType));
    SCOPED_TRACE(hour);
    ASSERT_TRUE(w.valid);
    EXPECT_GE(w.seconds(), res::kChimeMinSeconds);
    EXPECT_LE(w.seconds(), res::kChimeMaxSeconds);
    if (w.seconds() > longest) {
      longest = w.seconds();
      longestHour = hour;
    } else {
      EXPECT_LT(w.seconds(), longest);
    }
  }
  EXPECT_EQ(longestHour, 24);
}

// PlaySound asks for "ring" and "t7"; resource names compare without case.
TEST_F(ResourcesTest, SoundsAreFoundByLowerCaseNames) {
  EXPECT_TRUE(resource(module_, L"ring", L"wave"));
  EXPECT_TRUE(resource(module_, L"t7", L"WAVE"));
  EXPECT_TRUE(resource(module_, L"t24", L"Wave"));
  EXPECT_FALSE(resource(module_, L"t0", L"WAVE"));
}

TEST_F(ResourcesTest, OneManifestAskingForCommonControls6AndPerMonitorDpi) {
  const std::vector<std::wstring> manifests = namesOfType(module_, RT_MANIFEST);
  ASSERT_EQ(manifests, std::vector<std::wstring>{L"#1"});
  const Bytes manifest = resource(module_, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_TRUE(manifest);
  const std::string text(reinterpret_cast<const char*>(manifest.data), manifest.size);
  for (const char* needle : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "PerMonitorV2",
                             "true/pm", "asInvoker", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"})
    EXPECT_NE(text.find(needle), std::string::npos) << needle;
}

// Explorer's details page reads the version resource; it must say what the
// about box says, the project version.
TEST_F(ResourcesTest, VersionResourceCarriesTheProjectVersion) {
  const std::wstring path = horavelPath();
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &unused);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const DWORD high = MAKELONG(HORAVEL_VERSION_MINOR, HORAVEL_VERSION_MAJOR);
  const DWORD low = MAKELONG(0, HORAVEL_VERSION_PATCH);
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);

  const auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars)) return std::wstring();
    return std::wstring(value);
  };
  EXPECT_EQ(text(L"ProductVersion"), L"" HORAVEL_VERSION);
  EXPECT_EQ(text(L"FileVersion"), L"" HORAVEL_FILE_VERSION);
}

}  // namespace
