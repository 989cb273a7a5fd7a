// The monkey's eyes inside Wine: a console program that answers one line of
// JSON for each command line it reads. It looks at Horavel's windows from
// outside, as another program of the same desktop would, and never changes
// what the program holds except where a command says so (select a row).
//
//   state MS      the main window, whether it answers a message within MS
//                 milliseconds, the program's visible top-level windows with
//                 their controls, the focus and menu state
//   rows          the main list's rows (kind, detail, date, time) and selection
//   select I      selects row I of the main list, as a click would
//   picker HWND   a date and time picker's value (DTM_GETSYSTEMTIME)
//   type HEX      types the text (UTF-8, in hex digits) as Unicode key strokes
//   clip HEX      puts the text (UTF-8, in hex digits) on the clipboard
//   toolbar       the main window's toolbar buttons: command id and state
//   send H M W L  sends message M with W and L (numbers, no pointers) to window
//                 H and answers its result
//   stop          posts the stop command to the main window: the emergency
//                 brake when a mission that must not run could come due
//   quit
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// Texts come in hex digits, so that they may hold line ends.
std::string fromHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string quoted(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : utf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string number(unsigned long long value) { return std::to_string(value); }
std::string handle(HWND window) { return number(reinterpret_cast<UINT_PTR>(window)); }

std::wstring className(HWND window) {
  wchar_t name[128] = L"";
  GetClassNameW(window, name, 128);
  return name;
}

// The text of a window of another process: WM_GETTEXT is carried across, but
// a program that does not answer must not hold the probe.
std::wstring textOf(HWND window, size_t limit = 200) {
  std::vector<wchar_t> buffer(limit + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, 1000, &copied)) {
    return L"";
  }
  return std::wstring(buffer.data(), std::min<size_t>(copied, limit));
}

std::string rectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "]";
}

// Memory in the program's own address space, for the list view and picker
// messages whose parameters are pointers.
class Remote {
 public:
  bool open(DWORD pid) {
    if (pid == pid_ && memory_) return true;
    close();
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    if (!process_) return false;
    memory_ = VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    pid_ = pid;
    return memory_ != nullptr;
  }
  void close() {
    if (process_) {
      if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
      CloseHandle(process_);
    }
    process_ = nullptr;
    memory_ = nullptr;
    pid_ = 0;
  }
  void* at(size_t offset) const { return static_cast<char*>(memory_) + offset; }
  bool write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr);
  }
  bool read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr);
  }
  static constexpr size_t kSize = 65536;

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
  DWORD pid_ = 0;
};

Remote remote;

HWND mainWindow() { return FindWindowW(L"TForm1", nullptr); }

DWORD processOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

bool processAlive(DWORD pid) {
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  DWORD code = 0;
  const bool alive = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return alive;
}

struct Collect {
  std::vector<HWND> windows;
};

BOOL CALLBACK collect(HWND window, LPARAM param) {
  reinterpret_cast<Collect*>(param)->windows.push_back(window);
  return TRUE;
}

std::string controlsOf(HWND top) {
  Collect children;
  EnumChildWindows(top, &collect, reinterpret_cast<LPARAM>(&children));
  std::string out = "[";
  bool first = true;
  for (HWND child : children.windows) {
    if (!IsWindowVisible(child)) continue;
    const std::wstring cls = className(child);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    std::wstring text;
    // Lists and pickers have no caption worth reading; a static holding an
    // icon has none at all.
    if (cls == L"Button" || cls == L"BUTTON" || cls == L"Static" || cls == L"STATIC" || cls == L"Edit" ||
        cls == L"EDIT" || cls == L"ComboBox" || cls == L"COMBOBOX" || cls == L"HoravelEditorPanel") {
      text = textOf(child);
    }
    if (!first) out += ",";
    first = false;
    out += "{\"h\":" + handle(child) + ",\"cls\":" + quoted(cls) +
           ",\"id\":" + std::to_string(GetDlgCtrlID(child)) + ",\"style\":" + number(static_cast<DWORD>(style)) +
           ",\"en\":" + (IsWindowEnabled(child) ? "true" : "false") + ",\"r\":" + rectOf(child) +
           ",\"parent\":" + handle(GetParent(child)) + ",\"text\":" + quoted(text) + "}";
  }
  return out + "]";
}

BOOL CALLBACK collectTop(HWND window, LPARAM param) {
  if (IsWindowVisible(window)) reinterpret_cast<Collect*>(param)->windows.push_back(window);
  return TRUE;
}

void state(int timeoutMs) {
  const HWND main = mainWindow();
  const DWORD pid = main ? processOf(main) : 0;
  long answer = -1;
  if (main) {
    const DWORD started = GetTickCount();
    DWORD_PTR result = 0;
    // No SMTO_ABORTIFHUNG: a thread busy for five seconds counts as hung
    // there; only the time-out says it.
    if (SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, static_cast<UINT>(timeoutMs), &result)) {
      answer = static_cast<long>(GetTickCount() - started);
    }
  }
  std::string out = "{\"main\":" + handle(main) + ",\"pid\":" + number(pid) +
                    ",\"alive\":" + (pid && processAlive(pid) ? "true" : "false") +
                    ",\"answer\":" + std::to_string(answer);
  if (main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    if (GetGUIThreadInfo(thread, &info)) {
      out += ",\"focus\":" + handle(info.hwndFocus) + ",\"active\":" + handle(info.hwndActive) +
             ",\"capture\":" + handle(info.hwndCapture) + ",\"menuowner\":" + handle(info.hwndMenuOwner) +
             ",\"flags\":" + number(info.flags);
      if (info.hwndFocus) {
        out += ",\"focuscls\":" + quoted(className(info.hwndFocus)) +
               ",\"focusid\":" + std::to_string(GetDlgCtrlID(info.hwndFocus)) +
               ",\"focusparentcls\":" + quoted(className(GetParent(info.hwndFocus)));
      }
    }
  }
  out += ",\"fg\":" + handle(GetForegroundWindow()) + ",\"wins\":[";
  Collect tops;
  EnumWindows(&collectTop, reinterpret_cast<LPARAM>(&tops));
  bool first = true;
  for (HWND top : tops.windows) {
    const std::wstring cls = className(top);
    if (cls == L"Shell_TrayWnd" || cls == L"Progman" || cls == L"#32769") continue;
    const DWORD owner = processOf(top);
    if (!first) out += ",";
    first = false;
    wchar_t title[512] = L"";
    GetWindowTextW(top, title, 512);
    out += "{\"h\":" + handle(top) + ",\"cls\":" + quoted(cls) + ",\"title\":" + quoted(title) +
           ",\"pid\":" + number(owner) + ",\"en\":" + (IsWindowEnabled(top) ? "true" : "false") +
           ",\"owner\":" + handle(GetWindow(top, GW_OWNER)) + ",\"r\":" + rectOf(top);
    // Controls only of dialogs and of the program's own windows: the main
    // window's list can be long, and only its frame matters here.
    if (owner == pid || cls == L"#32770") out += ",\"ctrls\":" + controlsOf(top);
    out += "}";
  }
  out += "]";
  // The notification area, where the tray icon is clicked.
  if (const HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr)) out += ",\"tray\":" + rectOf(tray);
  out += "}";
  std::cout << out << std::endl;
}

HWND listView(HWND main) { return FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr); }

void rows() {
  const HWND main = mainWindow();
  const HWND list = main ? listView(main) : nullptr;
  if (!list || !remote.open(processOf(main))) {
    std::cout << "{\"rows\":null}" << std::endl;
    return;
  }
  DWORD_PTR count = 0;
  SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
  DWORD_PTR selected = static_cast<DWORD_PTR>(-1);
  SendMessageTimeoutW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, SMTO_ABORTIFHUNG, 2000,
                      &selected);
  std::string out = "{\"selected\":" + std::to_string(static_cast<long long>(static_cast<INT_PTR>(selected))) +
                    ",\"rows\":[";
  constexpr size_t kTextAt = 1024;
  constexpr int kTextChars = 4096;
  for (DWORD_PTR row = 0; row < count && row < 5000; ++row) {
    out += row ? ",[" : "[";
    for (int sub = 0; sub < 4; ++sub) {
      LVITEMW item{};
      item.iSubItem = sub;
      item.pszText = static_cast<wchar_t*>(remote.at(kTextAt));
      item.cchTextMax = kTextChars;
      remote.write(0, &item, sizeof item);
      DWORD_PTR length = 0;
      SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG,
                          2000, &length);
      std::wstring text(static_cast<size_t>(std::min<DWORD_PTR>(length, kTextChars)), L'\0');
      if (!text.empty()) remote.read(kTextAt, text.data(), text.size() * sizeof(wchar_t));
      if (text.size() > 120) text.resize(120);  // the kind, date and time are short; a long detail is cut
      out += (sub ? "," : "") + quoted(text);
    }
    out += "]";
  }
  out += "]}";
  std::cout << out << std::endl;
}

void select(long index) {
  const HWND main = mainWindow();
  const HWND list = main ? listView(main) : nullptr;
  bool done = false;
  if (list && remote.open(processOf(main))) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.write(0, &item, sizeof item);
    DWORD_PTR result = 0;
    done = SendMessageTimeoutW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                               reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG, 2000, &result) &&
           result;
    SendMessageTimeoutW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE, SMTO_ABORTIFHUNG, 2000,
                        &result);
  }
  std::cout << "{\"ok\":" << (done ? "true" : "false") << "}" << std::endl;
}

void picker(HWND window) {
  DWORD_PTR result = static_cast<DWORD_PTR>(-1);
  SYSTEMTIME t{};
  if (IsWindow(window) && remote.open(processOf(window))) {
    remote.write(0, &t, sizeof t);
    SendMessageTimeoutW(window, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG,
                        2000, &result);
    remote.read(0, &t, sizeof t);
  }
  std::cout << "{\"result\":" << static_cast<long long>(static_cast<INT_PTR>(result)) << ",\"st\":[" << t.wYear
            << "," << t.wMonth << "," << t.wDay << "," << t.wHour << "," << t.wMinute << "," << t.wSecond << "]}"
            << std::endl;
}

void toolbar() {
  const HWND main = mainWindow();
  HWND bar = nullptr;
  if (main) {
    Collect children;
    EnumChildWindows(main, &collect, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children.windows) {
      if (className(child) == TOOLBARCLASSNAMEW) bar = child;
    }
  }
  std::string out = "{\"buttons\":[";
  if (bar && remote.open(processOf(main))) {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(bar, TB_BUTTONCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
    for (DWORD_PTR i = 0; i < count && i < 64; ++i) {
      TBBUTTON button{};
      remote.write(0, &button, sizeof button);
      DWORD_PTR ok = 0;
      SendMessageTimeoutW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG, 2000, &ok);
      remote.read(0, &button, sizeof button);
      out += (i ? ",[" : "[") + std::to_string(button.idCommand) + "," + std::to_string(button.fsState) + "," +
             std::to_string(button.fsStyle) + "]";
    }
  }
  std::cout << out << "]}" << std::endl;
}

void send(const std::string& args) {
  unsigned long long window = 0, message = 0;
  long long wParam = 0, lParam = 0;
  std::sscanf(args.c_str(), "%llu %llu %lld %lld", &window, &message, &wParam, &lParam);
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutW(reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)),
                                            static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                                            static_cast<LPARAM>(lParam), SMTO_ABORTIFHUNG, 2000, &result);
  std::cout << "{\"ok\":" << (answered ? "true" : "false") << ",\"result\":"
            << static_cast<long long>(static_cast<INT_PTR>(result)) << "}" << std::endl;
}

void stop() {
  constexpr WPARAM kStopCommand = 1006;  // the toolbar's stop button
  const HWND main = mainWindow();
  const bool posted = main && PostMessageW(main, WM_COMMAND, kStopCommand, 0);
  std::cout << "{\"ok\":" << (posted ? "true" : "false") << "}" << std::endl;
}

void typeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | up;
      inputs.push_back(input);
    }
  }
  // In pieces, so that a long text does not flood the program's queue at once.
  size_t sent = 0;
  for (size_t at = 0; at < inputs.size(); at += 64) {
    const UINT n = static_cast<UINT>(std::min<size_t>(64, inputs.size() - at));
    sent += SendInput(n, inputs.data() + at, sizeof(INPUT));
    Sleep(5);
  }
  std::cout << "{\"sent\":" << sent << "}" << std::endl;
}

void clip(const std::wstring& text) {
  bool done = false;
  for (int attempt = 0; attempt < 10 && !done; ++attempt) {
    if (!OpenClipboard(nullptr)) {
      Sleep(50);
      continue;
    }
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory) {
      auto* target = static_cast<wchar_t*>(GlobalLock(memory));
      std::copy(text.begin(), text.end(), target);
      target[text.size()] = L'\0';
      GlobalUnlock(memory);
      done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    CloseClipboard();
  }
  std::cout << "{\"ok\":" << (done ? "true" : "false") << "}" << std::endl;
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t space = line.find(' ');
    const std::string command = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    if (command == "state") {
      state(rest.empty() ? 5000 : std::atoi(rest.c_str()));
    } else if (command == "rows") {
      rows();
    } else if (command == "select") {
      select(std::atol(rest.c_str()));
    } else if (command == "picker") {
      picker(reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(rest.c_str(), nullptr, 10))));
    } else if (command == "toolbar") {
      toolbar();
    } else if (command == "send") {
      send(rest);
    } else if (command == "stop") {
      stop();
    } else if (command == "type") {
      typeText(wide(fromHex(rest)));
    } else if (command == "clip") {
      clip(wide(fromHex(rest)));
    } else if (command == "quit") {
      break;
    } else {
      std::cout << "{\"error\":" << quoted(wide(command)) << "}" << std::endl;
    }
  }
  return 0;
}
