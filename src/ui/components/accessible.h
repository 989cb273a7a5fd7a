#pragma once
// What a self-drawn control tells screen readers. The control describes its
// parts as a tree of numbered nodes, node 0 being the control itself, and
// answers WM_GETOBJECT with answerGetObject: Windows then reads names, roles,
// states and places through IAccessible. A node's number is also its child
// id, in every object of the tree, so a focus event names any node directly.
// A node with children is an object of its own; the others are simple
// elements of their parent.

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

struct AccessibleNode {
  std::wstring name;
  long role = ROLE_SYSTEM_CLIENT;
  long state = 0;  // STATE_SYSTEM_* flags
  RECT rect{};     // in the control's client pixels; empty when not on screen
  std::wstring defaultAction;  // what the default action does, empty for none
  std::wstring value;
};

class AccessibleSource {
 public:
  AccessibleSource();
  AccessibleSource(const AccessibleSource&) = delete;
  AccessibleSource& operator=(const AccessibleSource&) = delete;
  // Objects handed out before keep answering, with RPC_E_DISCONNECTED.
  virtual ~AccessibleSource();

  virtual HWND accessibleWindow() const = 0;
  virtual AccessibleNode accessibleNode(int node) const = 0;
  virtual std::vector<int> accessibleChildren(int /*node*/) const { return {}; }
  virtual int accessibleParent(int /*node*/) const { return 0; }
  // The node that has the keyboard focus when the window has it; -1 for none.
  virtual int accessibleFocus() const { return -1; }
  virtual void accessibleDoDefaultAction(int /*node*/) {}

 protected:
  // The answer to WM_GETOBJECT; DefWindowProc's for anything but the client.
  LRESULT answerGetObject(WPARAM wParam, LPARAM lParam);
  // Raises the focus event for a node (0: the control).
  void notifyFocus(int node) const;
  // Raises the state-change event for a node.
  void notifyStateChange(int node) const;

 private:
  std::shared_ptr<AccessibleSource*> self_;  // emptied when the source goes
};

// The same answer for a control that is one part only: a name (empty: the
// window's text) and a role. Installs itself on an existing window (also a
// standard control whose own answer would be wrong) and lives as long as it.
void describeWindow(HWND window, const std::wstring& name, long role, const std::wstring& defaultAction = {});
