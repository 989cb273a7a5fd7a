#include "ui/components/subclass.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

LRESULT CALLBACK chainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct Link {
  SUBCLASSPROC proc;
  UINT_PTR id;
  DWORD_PTR data;
  bool removed;  // marked while a message runs through the chain, dropped after
};

struct Chain {
  WNDPROC original = nullptr;
  std::vector<Link> links;  // the last one runs first
  int running = -1;         // the link a message is in now; links.size() before the first
  int depth = 0;            // messages running through the chain, nested
};

// Elements of an unordered_map keep their place when others come and go,
// so a chain stays put while its procedures add and remove windows.
std::unordered_map<HWND, Chain>& chains() {
  static std::unordered_map<HWND, Chain> all;
  return all;
}

LRESULT callNext(HWND window, Chain& chain, UINT message, WPARAM wParam, LPARAM lParam) {
  int i = chain.running - 1;
  while (i >= 0 && chain.links[static_cast<size_t>(i)].removed) --i;
  chain.running = i;
  if (i < 0) return CallWindowProcW(chain.original, window, message, wParam, lParam);
  const Link link = chain.links[static_cast<size_t>(i)];  // the vector may grow during the call
  return link.proc(window, message, wParam, lParam, link.id, link.data);
}

// Its own procedure back when nothing of the chain is left to run, unless
// something subclassed the window after it and still calls this chain.
void releaseIfEmpty(HWND window, Chain& chain) {
  if (!chain.links.empty() || GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&chainProc))
    return;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.original));
  chains().erase(window);
}

LRESULT CALLBACK chainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = chains().find(window);
  if (found == chains().end()) return DefWindowProcW(window, message, wParam, lParam);
  Chain& chain = found->second;
  const int saved = chain.running;
  chain.running = static_cast<int>(chain.links.size());
  ++chain.depth;
  const LRESULT result = callNext(window, chain, message, wParam, lParam);
  chain.running = saved;
  if (--chain.depth == 0) {
    std::erase_if(chain.links, [](const Link& link) { return link.removed; });
    if (message == WM_NCDESTROY) {
      chains().erase(window);  // the window is gone
    } else {
      releaseIfEmpty(window, chain);
    }
  }
  return result;
}

}  // namespace

bool addSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  if (!window || !proc || !IsWindow(window)) return false;
  auto found = chains().find(window);
  if (found == chains().end()) {
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (!original) return false;
    found = chains().emplace(window, Chain{}).first;
    found->second.original = original;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&chainProc));
  }
  for (Link& link : found->second.links) {
    if (link.proc == proc && link.id == id && !link.removed) {
      link.data = data;
      return true;
    }
  }
  found->second.links.push_back({proc, id, data, false});
  return true;
}

bool removeSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
  const auto found = chains().find(window);
  if (found == chains().end()) return false;
  Chain& chain = found->second;
  for (Link& link : chain.links) {
    if (link.proc != proc || link.id != id || link.removed) continue;
    link.removed = true;
    if (chain.depth == 0) {
      std::erase_if(chain.links, [](const Link& l) { return l.removed; });
      releaseIfEmpty(window, chain);
    }
    return true;
  }
  return false;
}

LRESULT nextSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = chains().find(window);
  if (found == chains().end()) return DefWindowProcW(window, message, wParam, lParam);
  Chain& chain = found->second;
  const int saved = chain.running;
  const LRESULT result = callNext(window, chain, message, wParam, lParam);
  chain.running = saved;
  return result;
}
