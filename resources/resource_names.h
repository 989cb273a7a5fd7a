// Names and formats of the resources that Horavel.rc embeds.
//
// The one list of them: the windows load their pictures, icons and sounds by
// these names, and the resource test walks the tables below and checks every
// entry against the executable. Plain C++, no <windows.h>.
//
// Bitmaps are 32 bits per pixel (BI_RGB, bottom-up) with straight, not
// premultiplied, alpha in the fourth byte: LoadImage(LR_CREATEDIBSECTION)
// keeps it and a 32-bit image list (ILC_COLOR32, comctl32 v6) uses it. Code
// that draws them with AlphaBlend must premultiply first. The logo and the
// popup artwork are PNG (RCDATA), which GDI+ reads: as bitmaps their copies
// for higher dpi would weigh a megabyte.
#pragma once

#include <cstddef>

namespace res {

// ---- icons ----
inline constexpr const wchar_t* kAppIcon = L"APPICON";      // program icon for Explorer (sorts first)
inline constexpr const wchar_t* kMainIcon = L"MAINICON";    // program icon: windows, taskbar
inline constexpr const wchar_t* kTrayIcon = L"TRAYICON";    // notification area
inline constexpr const wchar_t* kClockIcon = L"CLOCKICON";  // system time dialog, 32x32

// ---- picture lists: one horizontal strip each ----
inline constexpr const wchar_t* kImageList1 = L"IMAGELIST1";  // 16x16: menus, actions, side bar
inline constexpr const wchar_t* kImageList2 = L"IMAGELIST2";  // 16x16: mission list rows
inline constexpr const wchar_t* kImageList3 = L"IMAGELIST3";  // 36x36: toolbar
inline constexpr const wchar_t* kImageList4 = L"IMAGELIST4";  // 36x36: toolbar, disabled buttons
inline constexpr const wchar_t* kNavIcons32 = L"NAVICONS32";  // 32x32: mission editor side bar

// Indexes into IMAGELIST1, IMAGELIST3 and IMAGELIST4.
enum CommandPicture : int { kPicAdd, kPicModify, kPicDelete, kPicStart, kPicPause, kPicStop, kPicAbout, kCommandPictureCount };
// Indexes into IMAGELIST2: a mission kind's imageIndex (power off, restart
// and log off share 0).
enum KindPicture : int {
  kPicPower, kPicProgram, kPicFile, kPicMessage, kPicRing, kPicWeb, kPicMail,
  kPicLock, kPicMonitor, kPicSleep, kPicHibernate, kKindPictureCount
};
// Indexes into NAVICONS32. The editor's side bar uses 0, 1, 3, 4, 6, 7
// (and 1 again for the ring item); the notice before a power action the
// power, sleep and hibernation pictures; the folder, the bell, the lock and
// the display are spares.
enum NavIcon : int {
  kNavPower, kNavProgram, kNavFolder, kNavFile, kNavMessage, kNavBell, kNavWeb, kNavMail,
  kNavLock, kNavMonitor, kNavSleep, kNavHibernate, kNavIconCount
};

// ---- single pictures ----
inline constexpr const wchar_t* kBanner36 = L"BANNER36";  // mission editor banner
inline constexpr const wchar_t* kStrip = L"STRIP";        // about box top strip, stretched sideways
inline constexpr const wchar_t* kLogo = L"LOGO";          // about box logo (PNG)
inline constexpr const wchar_t* kPopup = L"POPUP";        // reminder popup artwork (PNG)

// ---- 16x16 button glyphs ----
inline constexpr const wchar_t* kGlyphOk = L"GLYPH_OK";            // confirm
inline constexpr const wchar_t* kGlyphCancel = L"GLYPH_CANCEL";    // cancel
inline constexpr const wchar_t* kGlyphAdd = L"GLYPH_ADD";          // add (and close)
inline constexpr const wchar_t* kGlyphAddOn = L"GLYPH_ADDON";      // add and continue
inline constexpr const wchar_t* kGlyphSave = L"GLYPH_SAVE";        // save changes
inline constexpr const wchar_t* kGlyphClose = L"GLYPH_CLOSE";      // close the window
inline constexpr const wchar_t* kGlyphSetTime = L"GLYPH_SETTIME";  // set the clock

// ---- the reminder popup's artwork ----
struct Rgb {
  unsigned char r, g, b;
};
inline constexpr Rgb kPopupKey{255, 0, 255};  // every pixel of this colour is see-through
inline constexpr Rgb kPopupBody{0x2F, 0x7B, 0xD9};  // the card's body, recoloured in each look
struct Rect {
  int left, top, right, bottom;  // inclusive
};
// At 96 dpi; a copy for a higher dpi holds these scaled, the white area
// shrunk to whole pixels and the figure's bounds grown to them.
inline constexpr Rect kPopupFigure{8, 8, 153, 433};    // nothing opaque outside
inline constexpr Rect kPopupWhite{22, 88, 129, 284};   // opaque white behind the labels

// ---- toolbar animation (RCDATA, a GIF; also drawn at 125, 150 and 200 per
// cent, its sides scaled and rounded) ----
inline constexpr const wchar_t* kAnimGif = L"ANIMGIF";
inline constexpr int kAnimWidth = 64;
inline constexpr int kAnimHeight = 48;
inline constexpr int kAnimFrames = 4;
inline constexpr int kAnimDelayCs = 50;  // per frame, in hundredths of a second
inline constexpr int kAnimLoops = 0;     // 0 = for ever

// ---- sounds (type WAVE, PCM) ----
inline constexpr const wchar_t* kWaveType = L"WAVE";
inline constexpr const wchar_t* kRing = L"RING";
inline constexpr std::size_t kRingDataBytes = 390184;
// kChimes[h - 1] is the chime for hour h, 1 to 24; T24 is midnight.
inline constexpr const wchar_t* kChimes[24] = {
  L"T1",  L"T2",  L"T3",  L"T4",  L"T5",  L"T6",  L"T7",  L"T8",  L"T9",  L"T10", L"T11", L"T12",
  L"T13", L"T14", L"T15", L"T16", L"T17", L"T18", L"T19", L"T20", L"T21", L"T22", L"T23", L"T24"};
inline constexpr double kChimeMinSeconds = 4.35;
inline constexpr double kChimeMaxSeconds = 11.78;

// ---- tables for whoever needs all of them ----
struct BitmapFormat {
  const wchar_t* name;
  int width;
  int height;
  int bitsPerPixel;
  bool seeThrough;  // has transparent pixels (alpha 0); otherwise alpha is 255 throughout
};
inline constexpr BitmapFormat kBitmaps[] = {
  {kImageList1, 16 * kCommandPictureCount, 16, 32, true},
  {kImageList2, 16 * kKindPictureCount, 16, 32, true},
  {kImageList3, 36 * kCommandPictureCount, 36, 32, true},
  {kImageList4, 36 * kCommandPictureCount, 36, 32, true},
  {kNavIcons32, 32 * kNavIconCount, 32, 32, true},
  {kBanner36, 36, 36, 32, true},
  {kStrip, 27, 25, 32, false},
  {kGlyphOk, 16, 16, 32, true},
  {kGlyphCancel, 16, 16, 32, true},
  {kGlyphAdd, 16, 16, 32, true},
  {kGlyphAddOn, 16, 16, 32, true},
  {kGlyphSave, 16, 16, 32, true},
  {kGlyphClose, 16, 16, 32, true},
  {kGlyphSetTime, 16, 16, 32, true},
};

// These pictures also come drawn at 125, 150 and 200 per cent, for 120, 144
// and 192 dpi, named NAME_125, NAME_150 and NAME_200.
inline constexpr int kPictureScales[] = {125, 150, 200};
inline constexpr const wchar_t* kScaledBitmaps[] = {
  kImageList1, kImageList2, kImageList3, kImageList4, kNavIcons32, kBanner36, kGlyphOk,
  kGlyphCancel, kGlyphAdd, kGlyphAddOn, kGlyphSave, kGlyphClose, kGlyphSetTime,
};

// The PNG pictures, 8 bits a channel. Each also comes drawn at 125, 150 and
// 200 per cent (NAME_125...), its sides scaled and rounded as a window
// scales a layout.
struct PngFormat {
  const wchar_t* name;
  int width;
  int height;
  bool seeThrough;  // has transparent pixels; otherwise opaque throughout
};
inline constexpr PngFormat kPngPictures[] = {
  {kLogo, 209, 97, true},
  {kPopup, 200, 442, false},
};

struct IconFormat {
  const wchar_t* name;
  int sizes[6];  // square sizes in pixels, the first `count` used
  int count;
};
inline constexpr IconFormat kIcons[] = {
  {kAppIcon, {16, 20, 24, 32, 48, 256}, 6},
  {kMainIcon, {16, 20, 24, 32, 48, 256}, 6},
  {kTrayIcon, {16, 20, 24, 32}, 4},
  {kClockIcon, {16, 32}, 2},
};

struct WaveFormat {
  const wchar_t* name;
  int channels;
  int samplesPerSecond;
  int bitsPerSample;
};
inline constexpr WaveFormat kWaves[] = {
  {kRing, 2, 48000, 16},
  {kChimes[0], 1, 8000, 16},  {kChimes[1], 1, 8000, 16},  {kChimes[2], 1, 8000, 16},
  {kChimes[3], 1, 8000, 16},  {kChimes[4], 1, 8000, 16},  {kChimes[5], 1, 8000, 16},
  {kChimes[6], 1, 8000, 16},  {kChimes[7], 1, 8000, 16},  {kChimes[8], 1, 8000, 16},
  {kChimes[9], 1, 8000, 16},  {kChimes[10], 1, 8000, 16}, {kChimes[11], 1, 8000, 16},
  {kChimes[12], 1, 8000, 16}, {kChimes[13], 1, 8000, 16}, {kChimes[14], 1, 8000, 16},
  {kChimes[15], 1, 8000, 16}, {kChimes[16], 1, 8000, 16}, {kChimes[17], 1, 8000, 16},
  {kChimes[18], 1, 8000, 16}, {kChimes[19], 1, 8000, 16}, {kChimes[20], 1, 8000, 16},
  {kChimes[21], 1, 8000, 16}, {kChimes[22], 1, 8000, 16}, {kChimes[23], 1, 8000, 16},
};

}  // namespace res
