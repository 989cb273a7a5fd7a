#include "ui/components/accessible.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>

#include "ui/components/subclass.h"

namespace {

BSTR toBstr(const std::wstring& text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

// One node of a source's tree as an IAccessible object, and its children's
// enumeration (AccessibleChildren asks for that).
class AccessibleObject final : public IAccessible, public IEnumVARIANT {
 public:
  AccessibleObject(std::shared_ptr<AccessibleSource*> source, int node) : source_(std::move(source)), node_(node) {}

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IEnumVARIANT)) {
      *out = static_cast<IEnumVARIANT*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: screen readers use the IAccessible methods directly.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    if (node_ != 0) {
      *parent = new AccessibleObject(source_, source->accessibleParent(node_));
      return S_OK;
    }
    return AccessibleObjectFromWindow(source->accessibleWindow(), static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                      reinterpret_cast<void**>(parent));
  }
  STDMETHODIMP get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    *count = static_cast<long>(source->accessibleChildren(node_).size());
    return S_OK;
  }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    int node = 0;
    if (!nodeOf(child, node)) return E_INVALIDARG;
    if (node == node_ || source->accessibleChildren(node).empty()) return S_FALSE;
    *out = new AccessibleObject(source_, node);
    return S_OK;
  }
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    return text(child, name, [](const AccessibleNode& n) { return n.name; });
  }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
    return text(child, value, [](const AccessibleNode& n) { return n.value; });
  }
  STDMETHODIMP get_accDescription(VARIANT, BSTR* description) override { return nothing(description); }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
    return number(child, role, [](const AccessibleNode& n) { return n.role; });
  }
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
    return number(child, state, [](const AccessibleNode& n) { return n.state; });
  }
  STDMETHODIMP get_accHelp(VARIANT, BSTR* help) override { return nothing(help); }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override { return nothing(shortcut); }
  STDMETHODIMP get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    if (GetFocus() != source->accessibleWindow()) return S_FALSE;
    const int node = source->accessibleFocus();
    if (node < 0 || !within(*source, node)) return S_FALSE;
    put(*source, node, *focus);
    return S_OK;
  }
  STDMETHODIMP get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    for (int node : source->accessibleChildren(node_)) {
      if (source->accessibleNode(node).state & STATE_SYSTEM_SELECTED) {
        put(*source, node, *selection);
        return S_OK;
      }
    }
    return S_FALSE;
  }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
    return text(child, action, [](const AccessibleNode& n) { return n.defaultAction; });
  }
  STDMETHODIMP accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    int node = 0;
    if (!nodeOf(child, node)) return E_INVALIDARG;
    RECT r = source->accessibleNode(node).rect;
    if (IsRectEmpty(&r)) return S_FALSE;
    MapWindowPoints(source->accessibleWindow(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    int from = 0;
    if (!nodeOf(start, from)) return E_INVALIDARG;
    std::vector<int> row;
    int at = -1;
    switch (direction) {
      case NAVDIR_FIRSTCHILD:
      case NAVDIR_LASTCHILD:
        if (from != node_) return E_INVALIDARG;
        row = source->accessibleChildren(node_);
        if (row.empty()) return S_FALSE;
        put(*source, direction == NAVDIR_FIRSTCHILD ? row.front() : row.back(), *end);
        return S_OK;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN:
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP: {
        if (from == 0) return S_FALSE;  // the control's siblings are other windows
        row = source->accessibleChildren(source->accessibleParent(from));
        at = static_cast<int>(std::find(row.begin(), row.end(), from) - row.begin());
        const bool forward = direction == NAVDIR_NEXT || direction == NAVDIR_DOWN;
        const int next = forward ? at + 1 : at - 1;
        if (next < 0 || next >= static_cast<int>(row.size())) return S_FALSE;
        put(*source, row[next], *end);
        return S_OK;
      }
      default:
        return S_FALSE;
    }
  }
  STDMETHODIMP accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    VariantInit(hit);
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    POINT p{x, y};
    ScreenToClient(source->accessibleWindow(), &p);
    int found = node_;
    for (bool deeper = true; deeper;) {
      deeper = false;
      for (int child : source->accessibleChildren(found)) {
        const AccessibleNode part = source->accessibleNode(child);
        if (!(part.state & STATE_SYSTEM_INVISIBLE) && PtInRect(&part.rect, p)) {
          found = child;
          deeper = true;
          break;
        }
      }
    }
    const RECT own = source->accessibleNode(node_).rect;
    if (found == node_ && !PtInRect(&own, p)) return S_FALSE;
    if (found == node_) {
      hit->vt = VT_I4;
      hit->lVal = CHILDID_SELF;
    } else {
      put(*source, found, *hit);
    }
    return S_OK;
  }
  STDMETHODIMP accDoDefaultAction(VARIANT child) override {
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    int node = 0;
    if (!nodeOf(child, node)) return E_INVALIDARG;
    if (source->accessibleNode(node).defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
    source->accessibleDoDefaultAction(node);
    return S_OK;
  }
  STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  // IEnumVARIANT, over this node's children
  STDMETHODIMP Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (!out) return E_POINTER;
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    const std::vector<int> children = source->accessibleChildren(node_);
    ULONG given = 0;
    while (given < wanted && cursor_ < children.size()) {
      VariantInit(&out[given]);
      put(*source, children[cursor_++], out[given]);
      ++given;
    }
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    const size_t total = source->accessibleChildren(node_).size();
    cursor_ = std::min(total, cursor_ + count);
    return cursor_ < total || count == 0 ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    cursor_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumVARIANT** out) override {
    if (!out) return E_POINTER;
    auto* copy = new AccessibleObject(source_, node_);
    copy->cursor_ = cursor_;
    *out = copy;
    return S_OK;
  }

 private:
  ~AccessibleObject() = default;

  AccessibleSource* alive() const { return source_ ? *source_ : nullptr; }

  // Whether a node lies under this object (or is it).
  bool within(const AccessibleSource& source, int node) const {
    for (int n = node, guard = 0; guard < 64; ++guard) {
      if (n == node_) return true;
      if (n == 0) return false;
      n = source.accessibleParent(n);
    }
    return false;
  }

  bool nodeOf(const VARIANT& child, int& node) const {
    if (child.vt != VT_I4) return false;
    if (child.lVal == CHILDID_SELF) {
      node = node_;
      return true;
    }
    AccessibleSource* source = alive();
    if (!source || child.lVal < 0 || !within(*source, child.lVal)) return false;
    node = child.lVal;
    return true;
  }

  // A node as the answer of a query: an object when it has children.
  void put(const AccessibleSource& source, int node, VARIANT& out) const {
    if (!source.accessibleChildren(node).empty()) {
      out.vt = VT_DISPATCH;
      out.pdispVal = new AccessibleObject(source_, node);
    } else {
      out.vt = VT_I4;
      out.lVal = node;
    }
  }

  template <typename Field>
  HRESULT text(const VARIANT& child, BSTR* out, Field field) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    int node = 0;
    if (!nodeOf(child, node)) return E_INVALIDARG;
    const std::wstring value = field(source->accessibleNode(node));
    if (value.empty()) return S_FALSE;
    *out = toBstr(value);
    return S_OK;
  }

  template <typename Field>
  HRESULT number(const VARIANT& child, VARIANT* out, Field field) const {
    if (!out) return E_POINTER;
    VariantInit(out);
    AccessibleSource* source = alive();
    if (!source) return RPC_E_DISCONNECTED;
    int node = 0;
    if (!nodeOf(child, node)) return E_INVALIDARG;
    out->vt = VT_I4;
    out->lVal = field(source->accessibleNode(node));
    return S_OK;
  }

  static HRESULT nothing(BSTR* out) {
    if (out) *out = nullptr;
    return S_FALSE;
  }

  std::atomic<ULONG> references_{1};
  std::shared_ptr<AccessibleSource*> source_;
  int node_;
  size_t cursor_ = 0;
};

// A single-part description laid over a standard control.
class WindowDescription final : public AccessibleSource {
 public:
  WindowDescription(HWND window, std::wstring name, long role, std::wstring action)
      : window_(window), name_(std::move(name)), role_(role), action_(std::move(action)) {}

  HWND accessibleWindow() const override { return window_; }
  AccessibleNode accessibleNode(int) const override {
    AccessibleNode node;
    node.name = name_;
    if (node.name.empty()) {
      const int length = GetWindowTextLengthW(window_);
      node.name.resize(static_cast<size_t>(length) + 1);
      node.name.resize(static_cast<size_t>(GetWindowTextW(window_, node.name.data(), length + 1)));
    }
    node.role = role_;
    if (role_ == ROLE_SYSTEM_STATICTEXT) node.state |= STATE_SYSTEM_READONLY;
    if (role_ == ROLE_SYSTEM_ANIMATION) node.state |= STATE_SYSTEM_ANIMATED | STATE_SYSTEM_READONLY;
    node.defaultAction = IsWindowEnabled(window_) ? action_ : std::wstring();
    if (!IsWindowEnabled(window_)) node.state |= STATE_SYSTEM_UNAVAILABLE;
    if (!IsWindowVisible(window_)) node.state |= STATE_SYSTEM_INVISIBLE;
    if (GetWindowLongPtrW(window_, GWL_STYLE) & WS_TABSTOP) node.state |= STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == window_) node.state |= STATE_SYSTEM_FOCUSED;
    GetClientRect(window_, &node.rect);
    return node;
  }
  int accessibleFocus() const override { return 0; }
  void accessibleDoDefaultAction(int) override { SendMessageW(window_, BM_CLICK, 0, 0); }

  LRESULT answer(WPARAM wParam, LPARAM lParam) { return answerGetObject(wParam, lParam); }

 private:
  HWND window_;
  std::wstring name_;
  long role_;
  std::wstring action_;
};

constexpr UINT_PTR kDescriptionSubclass = 0x4163;

LRESULT CALLBACK describedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
  auto* description = reinterpret_cast<WindowDescription*>(data);
  if (message == WM_GETOBJECT && static_cast<long>(lParam) == OBJID_CLIENT) {
    return description->answer(wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    removeSubclass(window, &describedWindowProc, kDescriptionSubclass);
    delete description;
  }
  return nextSubclassProc(window, message, wParam, lParam);
}

}  // namespace

AccessibleSource::AccessibleSource() : self_(std::make_shared<AccessibleSource*>(this)) {}

AccessibleSource::~AccessibleSource() { *self_ = nullptr; }

LRESULT AccessibleSource::answerGetObject(WPARAM wParam, LPARAM lParam) {
  const HWND window = accessibleWindow();
  if (static_cast<long>(lParam) != OBJID_CLIENT) return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
  auto* object = new AccessibleObject(self_, 0);
  const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
  object->Release();
  return answer;
}

void AccessibleSource::notifyFocus(int node) const {
  NotifyWinEvent(EVENT_OBJECT_FOCUS, accessibleWindow(), OBJID_CLIENT, node);
}

void AccessibleSource::notifyStateChange(int node) const {
  NotifyWinEvent(EVENT_OBJECT_STATECHANGE, accessibleWindow(), OBJID_CLIENT, node);
}

void describeWindow(HWND window, const std::wstring& name, long role, const std::wstring& defaultAction) {
  if (!window) return;
  auto* description = new WindowDescription(window, name, role, defaultAction);
  addSubclass(window, &describedWindowProc, kDescriptionSubclass, reinterpret_cast<DWORD_PTR>(description));
}
