#include "ui/components/skin_engine.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <set>

#include "ui/components/flat_disabled_buttons.h"
#include "ui/components/graphics.h"
#include "ui/components/subclass.h"
#include "ui/components/window.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x534B494E;  // "SKIN"

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::optional<COLORREF> parseColour(std::string_view text) {
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  unsigned value = 0;
  for (char c : text.substr(1)) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

std::optional<int> parseMetric(std::string_view text) {
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value <= 16 ? std::optional<int>(value) : std::nullopt;
}

struct Field {
  std::string_view key;
  COLORREF* (*colour)(Skin&);
  int* (*metric)(Skin&);
};

#define HORAVEL_COLOUR(key, member) Field{key, [](Skin& s) { return &s.member; }, nullptr}
const Field kFields[] = {
    Field{"name", nullptr, nullptr},
    HORAVEL_COLOUR("window", window),
    HORAVEL_COLOUR("text", text),
    HORAVEL_COLOUR("bandTop", bandTop),
    HORAVEL_COLOUR("bandBottom", bandBottom),
    HORAVEL_COLOUR("bandEdge", bandEdge),
    Field{"bandEdgeWidth", nullptr, [](Skin& s) { return &s.bandEdgeWidth; }},
    HORAVEL_COLOUR("menuBar", menuBar),
    HORAVEL_COLOUR("status", status),
    HORAVEL_COLOUR("bannerTop", bannerTop),
    HORAVEL_COLOUR("bannerBottom", bannerBottom),
    HORAVEL_COLOUR("bannerText", bannerText),
    HORAVEL_COLOUR("cardFill", cardFill),
    HORAVEL_COLOUR("cardEdge", cardEdge),
    HORAVEL_COLOUR("navBackground", nav.background),
    HORAVEL_COLOUR("navGroupBody", nav.groupBody),
    HORAVEL_COLOUR("navGroupBorder", nav.groupBorder),
    HORAVEL_COLOUR("navHeaderTop", nav.headerTop),
    HORAVEL_COLOUR("navHeaderBottom", nav.headerBottom),
    HORAVEL_COLOUR("navHeaderHot", nav.headerHot),
    HORAVEL_COLOUR("navHeaderText", nav.headerText),
    HORAVEL_COLOUR("navItemText", nav.itemText),
    HORAVEL_COLOUR("navDisabledText", nav.disabledText),
    HORAVEL_COLOUR("navHotFill", nav.hotFill),
    HORAVEL_COLOUR("navHotBorder", nav.hotBorder),
    HORAVEL_COLOUR("navSelectedFill", nav.selectedFill),
    HORAVEL_COLOUR("navSelectedBorder", nav.selectedBorder),
};
#undef HORAVEL_COLOUR

SkinEngine* programEngine = nullptr;

// The side bar's colours for the system's own look.
NavBarColors systemNavColors() {
  NavBarColors c;
  c.background = GetSysColor(COLOR_BTNFACE);
  c.groupBody = GetSysColor(COLOR_WINDOW);
  c.groupBorder = GetSysColor(COLOR_BTNSHADOW);
  c.headerTop = GetSysColor(COLOR_BTNHIGHLIGHT);
  c.headerBottom = GetSysColor(COLOR_BTNFACE);
  c.headerHot = GetSysColor(COLOR_3DLIGHT);
  c.headerText = GetSysColor(COLOR_BTNTEXT);
  c.itemText = GetSysColor(COLOR_WINDOWTEXT);
  c.disabledText = GetSysColor(COLOR_GRAYTEXT);
  c.hotFill = GetSysColor(COLOR_BTNFACE);
  c.hotBorder = GetSysColor(COLOR_BTNSHADOW);
  c.selectedFill = GetSysColor(COLOR_3DLIGHT);
  c.selectedBorder = GetSysColor(COLOR_HIGHLIGHT);
  return c;
}

void paintBand(HDC dc, HWND rebar, const Skin& skin) {
  RECT client;
  GetClientRect(rebar, &client);
  const int edge = std::min<int>(MulDiv(skin.bandEdgeWidth, static_cast<int>(Window::dpiOf(rebar)), 96),
                                 client.bottom);
  fillGradient(dc, RECT{client.left, client.top, client.right, client.bottom - edge}, skin.bandTop, skin.bandBottom,
               true);
  if (edge > 0) {
    const RECT line{client.left, client.bottom - edge, client.right, client.bottom};
    SetBkColor(dc, skin.bandEdge);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
  }
}

// A status bar's parts in the skin's colours: each part's text, a thin line
// between parts and one along the top.
void paintStatusBar(HDC dc, HWND bar, const Skin& skin, HBRUSH face) {
  RECT client;
  GetClientRect(bar, &client);
  FillRect(dc, &client, face);
  SetBkColor(dc, skin.bandEdge);
  const RECT top{client.left, client.top, client.right, client.top + 1};
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &top, nullptr, 0, nullptr);
  const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, skin.text);
  const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
  for (int part = 0; part < parts; ++part) {
    RECT r;
    if (!SendMessageW(bar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&r))) continue;
    const int length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    RECT inside = r;
    inside.left += 4;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inside,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (part + 1 < parts) {
      SetBkColor(dc, skin.bandEdge);
      const RECT line{r.right - 1, r.top + 2, r.right, r.bottom - 2};
      ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &line, nullptr, 0, nullptr);
    }
  }
  SelectObject(dc, oldFont);
}

BOOL CALLBACK notifyOne(HWND window, LPARAM) {
  SendMessageW(window, skinChangedMessage(), 0, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return TRUE;
}

}  // namespace

const std::vector<std::string_view> kSkinKeys = [] {
  std::vector<std::string_view> keys;
  for (const Field& field : kFields) keys.push_back(field.key);
  return keys;
}();

std::optional<Skin> parseSkin(std::string_view text, std::string* problem) {
  const auto refuse = [problem](int line, const std::string& what) {
    if (problem) *problem = "line " + std::to_string(line) + ": " + what;
    return std::nullopt;
  };
  Skin skin;
  std::set<std::string_view> seen;
  int number = 0;
  while (!text.empty()) {
    ++number;
    const size_t stop = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, stop));
    text = stop == std::string_view::npos ? std::string_view() : text.substr(stop + 1);
    if (line.empty() || line.front() == ';') continue;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return refuse(number, "no '='");
    const std::string_view key = trimmed(line.substr(0, equals));
    const std::string_view value = trimmed(line.substr(equals + 1));
    const auto field = std::find_if(std::begin(kFields), std::end(kFields), [key](const Field& f) { return f.key == key; });
    if (field == std::end(kFields)) return refuse(number, "unknown key " + std::string(key));
    if (!seen.insert(field->key).second) return refuse(number, "repeated key " + std::string(key));
    if (field->colour) {
      const auto colour = parseColour(value);
      if (!colour) return refuse(number, "not a colour #RRGGBB: " + std::string(value));
      *field->colour(skin) = *colour;
    } else if (field->metric) {
      const auto metric = parseMetric(value);
      if (!metric) return refuse(number, "not a size 0..16: " + std::string(value));
      *field->metric(skin) = *metric;
    } else {
      if (value.empty()) return refuse(number, "empty name");
      skin.name = std::string(value);
    }
  }
  for (const Field& field : kFields) {
    if (!seen.count(field.key)) return refuse(number, "missing key " + std::string(field.key));
  }
  return skin;
}

// ---- store ----

SkinStore::SkinStore() {
  for (std::string_view text : builtInSkinTexts()) {
    // The built-in texts are checked by the tests; one that did not read
    // would still keep its place in the store, in the default colours.
    skins_.push_back(parseSkin(text).value_or(Skin{}));
  }
}

void SkinStore::load(int index, SkinEngine& engine) const {
  if (index < 0 || index >= count()) return;
  engine.loadSkin(skins_[static_cast<size_t>(index)]);
}

// ---- engine ----

SkinEngine::SkinEngine() : data_(parseSkin(builtInSkinTexts().front()).value_or(Skin{})) {
  if (!programEngine) programEngine = this;
}

SkinEngine::~SkinEngine() {
  for (const auto& [window, what] : windows_) {
    if (!IsWindow(window)) continue;
    removeSubclass(window, &SkinEngine::subclassProc, kSubclassId);
    // The menu bar must not keep a brush that goes with the engine.
    if ((what.kinds & kMenuBar) && GetMenu(window)) {
      MENUINFO info{};
      info.cbSize = sizeof info;
      info.fMask = MIM_BACKGROUND;
      SetMenuInfo(GetMenu(window), &info);
    }
  }
  for (const auto& [colour, b] : brushes_) DeleteObject(b);
  if (programEngine == this) programEngine = nullptr;
}

void SkinEngine::setActive(bool on) {
  if (on == active_) return;
  active_ = on;
  changed();
}

void SkinEngine::loadSkin(const Skin& skin) {
  data_ = skin;
  changed();
}

HBRUSH SkinEngine::brush(COLORREF colour) {
  auto& b = brushes_[colour];
  if (!b) b = CreateSolidBrush(colour);
  return b;
}

void SkinEngine::attachForm(HWND form) { attach(form, kForm, nullptr); }
void SkinEngine::attachBandBar(HWND rebar) { attach(rebar, kBandBar, nullptr); }
void SkinEngine::attachStatusBar(HWND statusBar) { attach(statusBar, kStatusBar, nullptr); }
void SkinEngine::attachMenuBar(HWND window) { attach(window, kMenuBar, nullptr); }
void SkinEngine::attachNavBar(NavBar& bar) { attach(bar.handle(), kNavBar, &bar); }

void SkinEngine::attach(HWND window, unsigned kind, NavBar* bar) {
  if (!window) return;
  const auto found = windows_.find(window);
  if (found == windows_.end()) {
    windows_[window] = {kind, bar};
    addSubclass(window, &SkinEngine::subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  } else {
    found->second.kinds |= kind;
    if (bar) found->second.bar = bar;
  }
  applyTo(window, windows_[window]);
}

void SkinEngine::applyTo(HWND window, const Attached& what) {
  const Skin* skin = current();
  if (what.kinds & kStatusBar) {
    // The themed status bar ignores a background colour: skinned, it is drawn unthemed.
    SetWindowTheme(window, skin ? L"" : nullptr, skin ? L"" : nullptr);
    SendMessageW(window, SB_SETBKCOLOR, 0, skin ? static_cast<LPARAM>(skin->status) : static_cast<LPARAM>(CLR_DEFAULT));
  }
  if (what.kinds & kBandBar) {
    SetWindowTheme(window, skin ? L"" : nullptr, skin ? L"" : nullptr);
  }
  if ((what.kinds & kMenuBar) && GetMenu(window)) {
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = skin ? brush(skin->menuBar) : nullptr;
    SetMenuInfo(GetMenu(window), &info);
    DrawMenuBar(window);
  }
  if ((what.kinds & kNavBar) && what.bar) what.bar->setColors(skin ? skin->nav : systemNavColors());
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void SkinEngine::changed() {
  for (const auto& [window, what] : windows_) applyTo(window, what);
  // Everything else of the thread (windows that paint with currentSkin()).
  EnumThreadWindows(GetCurrentThreadId(), &notifyOne, 0);
  // A copy: a listener may add or remove listeners.
  const auto listeners = listeners_;
  for (const auto& [id, listener] : listeners) listener();
}

int SkinEngine::addListener(std::function<void()> listener) {
  listeners_[nextListener_] = std::move(listener);
  return nextListener_++;
}

void SkinEngine::removeListener(int id) { listeners_.erase(id); }

LRESULT CALLBACK SkinEngine::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
  auto* self = reinterpret_cast<SkinEngine*>(data);
  if (message == WM_NCDESTROY) {
    removeSubclass(window, &SkinEngine::subclassProc, kSubclassId);
    self->windows_.erase(window);
    return nextSubclassProc(window, message, wParam, lParam);
  }
  const Skin* skin = self->current();
  const auto found = self->windows_.find(window);
  if (!skin || found == self->windows_.end()) return nextSubclassProc(window, message, wParam, lParam);
  const unsigned kinds = found->second.kinds;

  switch (message) {
    case WM_PAINT:
      // The status bar is drawn here while skinned: some status bars keep
      // their own face whatever background colour they are given.
      if (kinds & kStatusBar) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        paintStatusBar(dc, window, *skin, self->brush(skin->status));
        EndPaint(window, &paint);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (kinds & kStatusBar) return 1;
      if (kinds & kBandBar) {
        paintBand(reinterpret_cast<HDC>(wParam), window, *skin);
        return 1;
      }
      if (kinds & kForm) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, self->brush(skin->window));
        return 1;
      }
      break;
    case WM_NOTIFY:
      // The toolbar on the band bar: disabled captions without the white
      // etching that smears on the gradient.
      if (kinds & kBandBar) {
        if (const auto result = drawDisabledToolButtonsFlat(*reinterpret_cast<const NMHDR*>(lParam),
                                                            skin->nav.disabledText))
          return *result;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
      if (kinds & kForm) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, skin->text);
        SetBkColor(dc, skin->window);
        return reinterpret_cast<LRESULT>(self->brush(skin->window));
      }
      break;
    default:
      break;
  }
  return nextSubclassProc(window, message, wParam, lParam);
}

SkinEngine* programSkinEngine() { return programEngine; }

const Skin* currentSkin() { return programEngine ? programEngine->current() : nullptr; }

UINT skinChangedMessage() {
  static const UINT message = RegisterWindowMessageW(L"HoravelSkinChanged");
  return message;
}
