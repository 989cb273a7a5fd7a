#pragma once
// The skin engine (SkinData1) and the store of built-in skins (SkinStore1).
//
// A skin is a colour and metric scheme in a small text format of our own,
// one "key = value" line per item:
//
//   ; comment
//   name        = skinMsn
//   window      = #EEF4FB      colours as #RRGGBB
//   bandEdgeWidth = 1          metrics as pixels at 96 dpi
//
// Every key of kSkinKeys must be there, once; anything else is refused.
//
// While the engine is on, it paints the windows attached to it: forms get
// its window colour behind them and behind their labels, check boxes and
// group boxes; the band bar a gradient with an edge line (a transparent
// toolbar on it shows it through, its disabled buttons drawn flat); the status bar and the menu bar its
// colours; the side bars its NavBarColors. Switched off, every attached
// window goes back to the system's own look. Windows that paint themselves
// (the editor's banner, the about box's card, the popup's artwork) ask
// currentSkin() when they paint; after every change all windows of the
// thread are repainted and receive skinChangedMessage(). Every dialog
// attaches itself to the program's engine as it is created (Form).

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/components/nav_bar.h"

struct Skin {
  std::string name;
  COLORREF window = RGB(240, 240, 240);  // forms and dialogs
  COLORREF text = RGB(0, 0, 0);          // labels and check boxes on them
  COLORREF bandTop = RGB(255, 255, 255);  // band bar gradient, top to bottom
  COLORREF bandBottom = RGB(220, 220, 220);
  COLORREF bandEdge = RGB(160, 160, 160);  // the line under the band bar
  int bandEdgeWidth = 1;
  COLORREF menuBar = RGB(240, 240, 240);
  COLORREF status = RGB(240, 240, 240);
  // Banners (the editor's, left to right), page headers (top to bottom) and
  // the popup's artwork, whose blue body takes bannerTop.
  COLORREF bannerTop = RGB(255, 255, 255);
  COLORREF bannerBottom = RGB(200, 200, 200);
  COLORREF bannerText = RGB(0, 0, 0);
  COLORREF cardFill = RGB(255, 255, 255);  // cards (the about box) and their outline
  COLORREF cardEdge = RGB(160, 160, 160);
  NavBarColors nav;
};

// The keys a skin text must hold, in the order the built-in skins use.
extern const std::vector<std::string_view> kSkinKeys;

// Reads a skin text. On a malformed line, an unknown, repeated or missing
// key, gives nullopt and, when problem is given, what is wrong.
std::optional<Skin> parseSkin(std::string_view text, std::string* problem = nullptr);

class SkinEngine {
 public:
  // On, holding the data of the store's entry 0 ("skinMsn"). The first
  // engine made is the program's (currentSkin).
  SkinEngine();
  ~SkinEngine();
  SkinEngine(const SkinEngine&) = delete;
  SkinEngine& operator=(const SkinEngine&) = delete;

  bool Active() const { return active_; }
  void setActive(bool on);
  // The skin the engine holds, on or off.
  const Skin& data() const { return data_; }
  void loadSkin(const Skin& skin);
  // The skin in effect: nullptr while off.
  const Skin* current() const { return active_ ? &data_ : nullptr; }

  // Windows the engine paints, until they are destroyed.
  void attachForm(HWND form);
  void attachBandBar(HWND rebar);
  void attachStatusBar(HWND statusBar);
  void attachMenuBar(HWND window);  // the menu bar of a top-level window
  void attachNavBar(NavBar& bar);

  // Called after every change (on, off, new data).
  int addListener(std::function<void()> listener);
  void removeListener(int id);

 private:
  enum : unsigned { kForm = 1, kBandBar = 2, kStatusBar = 4, kMenuBar = 8, kNavBar = 16 };
  struct Attached {
    unsigned kinds = 0;
    NavBar* bar = nullptr;
  };
  static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
  void attach(HWND window, unsigned kind, NavBar* bar);
  void applyTo(HWND window, const Attached& what);
  void changed();
  HBRUSH brush(COLORREF colour);

  bool active_ = true;
  Skin data_;
  std::map<HWND, Attached> windows_;
  std::map<COLORREF, HBRUSH> brushes_;
  std::map<int, std::function<void()>> listeners_;
  int nextListener_ = 1;
};

// The store of the built-in skins, in this order: "skinMsn", "skinVista",
// "skinCool".
class SkinStore {
 public:
  SkinStore();
  int count() const { return static_cast<int>(skins_.size()); }
  const Skin& entry(int index) const { return skins_.at(static_cast<size_t>(index)); }
  // Loads entry index into the engine; an index outside the store does nothing.
  void load(int index, SkinEngine& engine) const;

 private:
  std::vector<Skin> skins_;
};

// The texts of the built-in skins, in store order.
const std::vector<std::string_view>& builtInSkinTexts();

// The skin in effect in the program's engine; nullptr while it is off or
// when there is no engine.
const Skin* currentSkin();
// The program's engine (the main window's SkinData1), or nullptr; dialogs
// attach themselves to it.
SkinEngine* programSkinEngine();
// The message every window of the thread gets after a change of look
// (RegisterWindowMessage; wParam and lParam are 0).
UINT skinChangedMessage();
