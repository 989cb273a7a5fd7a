#include "ui/components/message_boxes.h"

#include <utility>

#include "core/error_text.h"
#include "platform/text_conversion.h"

namespace {

MessageBoxHook& hook() {
  static MessageBoxHook current;
  return current;
}

}  // namespace

void setMessageBoxHook(MessageBoxHook newHook) { hook() = std::move(newHook); }

int showMessageBox(const MessageBoxRequest& request) {
  if (hook()) return hook()(request);
  return MessageBoxW(request.owner, request.text.c_str(), request.caption.c_str(), request.type);
}

bool askYesNo(HWND owner, const std::wstring& text, const std::wstring& caption) {
  return showMessageBox({owner, text, caption, MB_YESNO}) == IDYES;
}

void showNotice(HWND owner, const std::wstring& text) { showMessageBox({owner, text, L"Horavel", MB_OK}); }

void showErrorBox(const std::string& message) {
  std::wstring text;
  try {
    text = toWide(errorBoxText(message));
  } catch (...) {
    text = L"?";
  }
  showMessageBox({GetActiveWindow(), text, L"Horavel", MB_OK | MB_ICONSTOP});
}
