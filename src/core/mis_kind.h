#pragma once
// The kinds of mission. A row's kind is nothing but its display name: every
// place that needs the kind compares the row's caption byte for byte with
// these names.

#include <array>
#include <string_view>

enum class MisAction {
  Shutdown, Reboot, Logoff, ExecPro, OpenFile, Message, Ring, OpenUrl, Email,
  Lock, MonitorOff, Sleep, Hibernate,
};

struct MisKind {
  std::string_view name;  // code page 936 bytes
  int editorPage;         // page of the mission editor that makes this kind
  int imageIndex;         // picture of the row in the main list
  MisAction action;
};

// The kinds of editor page 0 are chosen there from a list, in the order they
// have here; the first three (power off, restart, log off) share picture 0.
// The names are spelled as byte escapes, so every compiler makes the same
// code page 936 bytes whatever its execution character set (clang knows
// only UTF-8).
inline constexpr std::array<MisKind, 13> kMisKinds{{
    {"\xB9\xD8\xB1\xD5\xBC\xC6\xCB\xE3\xBB\xFA", 0, 0, MisAction::Shutdown},  // 关闭计算机
    {"\xD6\xD8\xC6\xF4\xBC\xC6\xCB\xE3\xBB\xFA", 0, 0, MisAction::Reboot},  // 重启计算机
    {"\xD7\xA2\xCF\xFA\xBC\xC6\xCB\xE3\xBB\xFA", 0, 0, MisAction::Logoff},  // 注销计算机
    {"\xD6\xB4\xD0\xD0\xB3\xCC\xD0\xF2", 1, 1, MisAction::ExecPro},  // 执行程序
    {"\xB4\xF2\xBF\xAA\xCE\xC4\xBC\xFE", 2, 2, MisAction::OpenFile},  // 打开文件
    {"\xCC\xE1\xCA\xBE\xCF\xFB\xCF\xA2", 3, 3, MisAction::Message},  // 提示消息
    {"\xCF\xB5\xCD\xB3\xCF\xEC\xC1\xE5", 4, 4, MisAction::Ring},  // 系统响铃
    {"\xB4\xF2\xBF\xAA\xCD\xF8\xD2\xB3", 5, 5, MisAction::OpenUrl},  // 打开网页
    {"\xB7\xA2\xCB\xCD\xD3\xCA\xBC\xFE", 6, 6, MisAction::Email},  // 发送邮件
    {"\xCB\xF8\xB6\xA8\xBC\xC6\xCB\xE3\xBB\xFA", 0, 7, MisAction::Lock},  // 锁定计算机
    {"\xB9\xD8\xB1\xD5\xCF\xD4\xCA\xBE\xC6\xF7", 0, 8, MisAction::MonitorOff},  // 关闭显示器
    {"\xBC\xC6\xCB\xE3\xBB\xFA\xCB\xAF\xC3\xDF", 0, 9, MisAction::Sleep},  // 计算机睡眠
    {"\xBC\xC6\xCB\xE3\xBB\xFA\xD0\xDD\xC3\xDF", 0, 10, MisAction::Hibernate},  // 计算机休眠
}};

// A ring's detail for the built-in sound, the text the editor's sound field
// starts with: "内置铃声".
inline constexpr std::string_view kBuiltInRing = "\xC4\xDA\xD6\xC3\xC1\xE5\xC9\xF9";

// The kind whose name equals kindName exactly, or nullptr.
const MisKind* findMisKind(std::string_view kindName);

// The actions that end the session or put the computer to sleep come after
// a notice the user can answer. When several of them fall due together one
// is carried out, the strongest: power off over restart over log off over
// hibernate over sleep. 0 for every other action, which needs no notice.
int noticeStrength(MisAction action);

// The display name of the kind that carries out action.
std::string_view kindName(MisAction action);

// The kinds of the editor's first page, which act on the computer itself:
// power off, restart, log off, sleep and hibernate (those with a notice),
// lock and displays off. Never carried out late: a computer that was just
// woken or whose clock jumped must not go off, lock or go dark on its own.
bool isPowerKind(MisAction action);
