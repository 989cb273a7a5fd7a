#pragma once
// Where people reach the makers: the home page (the about box shows it, the
// main window's "访问主页" opens it) and the feedback mailbox ("问题反馈").
// One place for both, so what the box shows is what the command opens.

inline constexpr wchar_t kHomePage[] = L"http://www.example.org/horavel/";
inline constexpr wchar_t kFeedbackAddress[] = L"horavel@example.org";
