#pragma once
// One running Horavel per executable file. The first start holds a named
// kernel object made from the executable's full path; Windows removes it
// when that process ends, however it ends, so a crashed instance never
// blocks the next start. Copies in other folders have other names and run
// side by side, each with its own files.
//
//   SingleInstance instance(executablePath());
//   if (!instance.first()) {
//     if (!instance.showRunning(L"TForm1")) tell the user it does not answer;
//     return 0;
//   }

#include <windows.h>

#include <filesystem>

class SingleInstance {
 public:
  explicit SingleInstance(const std::filesystem::path& executable);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when no other process of this executable runs: this one holds the
  // instance now.
  bool first() const { return first_; }

  // For a later start: asks the running instance's main window (a top-level
  // window of that class) to come back to the front, waiting up to waitMs
  // in all for it to exist while the running instance is still starting and
  // for it to answer. False when it never showed up or did not answer.
  bool showRunning(const wchar_t* mainWindowClass, DWORD waitMs = 5000) const;

  // The message the main window gets when a later start wants it back.
  static UINT showMessage();

 private:
  HANDLE mapping_ = nullptr;  // holds the first instance's process id
  DWORD runningProcess_ = 0;
  bool first_ = false;
};
