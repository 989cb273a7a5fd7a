#pragma once
// The nine kinds of mission. A row's kind is nothing but its display name:
// every place that needs the kind compares the row's caption byte for byte
// with these names, in this order.

#include <array>
#include <string_view>

enum class MisAction { Shutdown, Reboot, Logoff, ExecPro, OpenFile, Message, Ring, OpenUrl, Email };

struct MisKind {
  std::string_view name;  // code page 936 bytes
  int editorPage;         // page of the mission editor that makes this kind
  int imageIndex;         // picture of the row in the main list
  MisAction action;
};

// Order matters: it is the order in which a due row's caption is tested.
// The three power kinds share editor page 0 (chosen there from a list, in
// this order) and picture 0.
inline constexpr std::array<MisKind, 9> kMisKinds{{
    {"关闭计算机", 0, 0, MisAction::Shutdown},
    {"重启计算机", 0, 0, MisAction::Reboot},
    {"注销计算机", 0, 0, MisAction::Logoff},
    {"执行程序", 1, 1, MisAction::ExecPro},
    {"打开文件", 2, 2, MisAction::OpenFile},
    {"提示消息", 3, 3, MisAction::Message},
    {"系统响铃", 4, 4, MisAction::Ring},
    {"打开网页", 5, 5, MisAction::OpenUrl},
    {"发送邮件", 6, 6, MisAction::Email},
}};

// The kind whose name equals kindName exactly, or nullptr.
const MisKind* findMisKind(std::string_view kindName);
