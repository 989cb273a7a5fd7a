#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "core/error.h"
#include "core/scheduler.h"
#include "platform/regional_formats.h"
#include "platform/single_instance.h"
#include "platform/system_error_text.h"
#include "platform/text_conversion.h"
#include "platform/token_privilege.h"
#include "platform/under_wine.h"
#include "platform/windows_clock.h"
#include "platform/windows_executable_rights.h"
#include "platform/windows_platform_services.h"
#include "platform/windows_run_value.h"

namespace {

constexpr char kTestValue[] = "HoravelTest";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void writeDword(const wchar_t* name, DWORD value) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

std::filesystem::path besideThisTest(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path() / name;
}

}  // namespace

TEST(TextConversionTest, CodePage936BothWays) {
  // "個" is 0x82 0x80: its trail byte is the one byte that is the euro sign alone.
  EXPECT_EQ(toWide("\x82\x80"), L"\u500B");
  EXPECT_EQ(toCp936(L"\u500B"), "\x82\x80");
  EXPECT_EQ(toWide("关闭计算机"), L"关闭计算机");
  EXPECT_EQ(toCp936(L"提示消息\r\n第二行"), "提示消息\r\n第二行");
  EXPECT_EQ(toWide("\x80"), L"\u20AC");
  EXPECT_EQ(toWide(""), L"");
  // Characters outside the code page become '?', never vanish.
  EXPECT_EQ(toCp936(L"a\u0E01b"), "a?b");
  // Unless the text must come through whole.
  EXPECT_EQ(toCp936Exactly(L"a\u0E01b"), std::nullopt);
  EXPECT_EQ(toCp936Exactly(L"\uC624\uC804"), std::nullopt);  // 오전
  EXPECT_EQ(toCp936Exactly(L"M\u00E4rz"), std::nullopt);
  EXPECT_EQ(toCp936Exactly(L"上午"), "上午");
  // Every two-byte character survives a round trip.
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail : {0x40, 0x7E, 0x80, 0xA1, 0xFE}) {
      const std::string text{static_cast<char>(lead), static_cast<char>(trail)};
      const std::wstring wide = toWide(text);
      if (wide.size() == 1 && wide[0] != 0xF8F5 && (wide[0] < 0xE000 || wide[0] > 0xF8FF)) {
        EXPECT_EQ(toCp936(wide), text) << lead << " " << trail;
      }
    }
  }
}

TEST(RegionalFormatsTest, ChineseLocaleUnderWine) {
  if (!runningUnderWine()) GTEST_SKIP() << "depends on the test prefix's zh_CN locale";
  EXPECT_EQ(GetACP(), 936u);
  const DateTimePatterns patterns = userDateTimePatterns();
  EXPECT_EQ(patterns.shortDate, "yyyy/M/d");
  EXPECT_EQ(patterns.longTime, "HH:mm:ss");
  EXPECT_EQ(patterns.amDesignator, "上午");
  EXPECT_EQ(patterns.pmDesignator, "下午");
  // Our formatter writes what Windows itself writes with these patterns.
  SYSTEMTIME t{2026, 12, 3, 9, 15, 4, 5, 0};
  wchar_t date[64];
  wchar_t time[64];
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, 64, nullptr);
  GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &t, nullptr, time, 64);
  const DateTimeText text(patterns);
  const LocalDateTime local{2026, 12, 9, 15, 4, 5, 0};
  EXPECT_EQ(toWide(text.dateText(local)), date);
  EXPECT_EQ(toWide(text.timeText(local)), time);
}

// Real regions' settings, with their own short date and with month and
// day names in it: nothing written turns into '?', every second of a day
// and every day of a year read back as themselves.
TEST(RegionalFormatsTest, EveryRegionsTextsSurviveAndReadBack) {
  for (const wchar_t* locale : {L"zh-CN", L"en-US", L"de-DE", L"ja-JP", L"ko-KR", L"ar-EG", L"he-IL", L"th-TH"}) {
    SCOPED_TRACE(toUtf8(locale));
    DateTimePatterns patterns = localeDateTimePatterns(locale);
    for (const std::string& shortDate : {patterns.shortDate, std::string("dddd d MMM yyyy")}) {
      patterns.shortDate = shortDate;
      const DateTimeText text(patterns);
      std::set<std::string> dates;
      for (int day = 0; day < 365; ++day) {
        const LocalDateTime d = fromWallSecond(wallSecond({2026, 1, 1, 12, 0, 0, 0}) + 86400LL * day);
        const std::string written = text.dateText(d);
        ASSERT_EQ(written.find('?'), std::string::npos) << written;
        ASSERT_EQ(text.parseDate(written), (CivilDate{d.year, d.month, d.day})) << written;
        dates.insert(written);
      }
      EXPECT_EQ(dates.size(), 365u);
    }
    const DateTimeText text(patterns);
    for (int s = 0; s < 24 * 3600; s += 61) {
      const std::string written = text.timeText({2026, 12, 9, s / 3600, s / 60 % 60, s % 60, 0});
      ASSERT_EQ(written.find('?'), std::string::npos) << written;
      ASSERT_EQ(readMissionTime(text, written), (TimeOfDay{s / 3600, s / 60 % 60, s % 60})) << written;
    }
  }
}

TEST(WindowsClockTest, ReadsTheLocalTime) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  const LocalDateTime now = WindowsClock().now();
  EXPECT_EQ(now.year, before.wYear);
  EXPECT_EQ(now.month, before.wMonth);
  EXPECT_GE(now.hour * 3600 + now.minute * 60 + now.second,
            before.wHour * 3600 + before.wMinute * 60 + before.wSecond);
}

class RunValueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!runningUnderWine()) GTEST_SKIP() << "writes HKEY_LOCAL_MACHINE";
    platform.DeleteRunValue(kTestValue);
  }
  void TearDown() override {
    if (runningUnderWine()) platform.DeleteRunValue(kTestValue);
  }
  WindowsPlatformServices platform;
};

// The value's data as the registry holds it under root.
std::wstring storedUnder(HKEY root) {
  wchar_t data[512] = L"";
  DWORD bytes = sizeof data;
  if (RegGetValueW(root, kRunKey, L"HoravelTest", RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS) return L"-";
  return data;
}

TEST_F(RunValueTest, RoundTrip) {
  EXPECT_EQ(platform.ReadRunValue(kTestValue), "");
  // A folder named in scripts code page 936 lacks survives: written wide.
  const std::wstring wide = L"C:\\Ünïcødé 工具 ✓\\Horavel.exe";
  const std::string path = toUtf8(wide);
  platform.WriteRunValue(kTestValue, path);
  EXPECT_EQ(storedUnder(HKEY_CURRENT_USER), wide);
  EXPECT_EQ(platform.ReadRunValue(kTestValue), path);
  platform.WriteRunValue(kTestValue, "");
  EXPECT_EQ(platform.ReadRunValue(kTestValue), "");
  platform.DeleteRunValue(kTestValue);
  EXPECT_EQ(platform.ReadRunValue(kTestValue), "");
  platform.DeleteRunValue(kTestValue);  // deleting what is not there is fine
}

// The tests' own folder, as any folder under Wine (System32 too), belongs
// to the signed-in user: the real check finds that users can change the
// program, and the value goes to the user's Run key.
TEST_F(RunValueTest, AProgramUsersCanChangeStartsWithItsUsersLogonOnly) {
  EXPECT_FALSE(onlyAdministratorsCanChangeProgram(besideThisTest(L"platform_test.exe")));
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_FALSE(onlyAdministratorsCanChangeProgram(std::filesystem::path(system) / L"kernel32.dll"));
  platform.WriteRunValue(kTestValue, "C:\\Tools\\Horavel.exe");
  EXPECT_EQ(storedUnder(HKEY_LOCAL_MACHINE), L"-");
  EXPECT_EQ(storedUnder(HKEY_CURRENT_USER), L"C:\\Tools\\Horavel.exe");
  // For a program only administrators can change, the machine-wide key.
  writeRunValue(L"HoravelTest", L"C:\\Program Files\\Horavel\\Horavel.exe", true);
  EXPECT_EQ(storedUnder(HKEY_LOCAL_MACHINE), L"C:\\Program Files\\Horavel\\Horavel.exe");
}

TEST_F(RunValueTest, RefusedMachineWideGoesToTheUsersKey) {
  // As account control refuses a program without elevation.
  setRunValueWriteHook([](HKEY root, const std::wstring& name, const std::wstring& data) -> LSTATUS {
    return root == HKEY_LOCAL_MACHINE ? ERROR_ACCESS_DENIED : writeRunValueUnder(root, name, data);
  });
  writeRunValue(L"HoravelTest", L"C:\\Tools\\Horavel.exe", true);
  EXPECT_EQ(storedUnder(HKEY_LOCAL_MACHINE), L"-");
  EXPECT_EQ(storedUnder(HKEY_CURRENT_USER), L"C:\\Tools\\Horavel.exe");
  EXPECT_EQ(platform.ReadRunValue(kTestValue), "C:\\Tools\\Horavel.exe");
  // Unticking deletes both.
  writeRunValueUnder(HKEY_LOCAL_MACHINE, L"HoravelTest", L"C:\\Old\\Horavel.exe");
  platform.DeleteRunValue(kTestValue);
  EXPECT_EQ(storedUnder(HKEY_LOCAL_MACHINE), L"-");
  EXPECT_EQ(storedUnder(HKEY_CURRENT_USER), L"-");
  EXPECT_EQ(platform.ReadRunValue(kTestValue), "");
  // Neither writable: the error.
  setRunValueWriteHook([](HKEY, const std::wstring&, const std::wstring&) -> LSTATUS { return ERROR_ACCESS_DENIED; });
  try {
    writeRunValue(L"HoravelTest", L"x", true);
    ADD_FAILURE() << "no error";
  } catch (const HoravelError& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'HoravelTest'");
  }
  setRunValueWriteHook(nullptr);
}

TEST_F(RunValueTest, StoredAsTerminatedString) {
  platform.WriteRunValue(kTestValue, "abc");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0;
  DWORD size = 0;
  RegQueryValueExW(key, L"HoravelTest", nullptr, &type, nullptr, &size);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 4 * sizeof(wchar_t));
}

TEST_F(RunValueTest, ValueOfAnotherTypeIsAnError) {
  writeDword(L"HoravelTest", 1);
  try {
    platform.ReadRunValue(kTestValue);
    FAIL() << "no error";
  } catch (const HoravelError& error) {
    EXPECT_STREQ(error.what(), "Invalid data type for 'HoravelTest'");
  }
  // Writing the machine-wide value replaces it with a string again.
  writeRunValue(L"HoravelTest", L"x", true);
  EXPECT_EQ(platform.ReadRunValue(kTestValue), "x");
}

TEST(ShellOpenTest, StartsAProgramInAChineseFolder) {
  if (!runningUnderWine()) GTEST_SKIP() << "starts a program";
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder = std::filesystem::path(temp) / L"Horavel测试個";
  std::filesystem::create_directories(folder);
  const std::filesystem::path program = folder / L"写标记.exe";
  const std::filesystem::path marker = folder / L"marker.txt";
  std::filesystem::copy_file(besideThisTest(L"marker_writer.exe"), program,
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::remove(marker);
  EXPECT_EQ(WindowsPlatformServices().ShellOpen(ShellVerb::Default, toCp936(program.wstring())), std::nullopt);
  for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(std::filesystem::exists(marker));
  // A target that does not exist shows nothing; the history gets the
  // system's own words for it.
  EXPECT_EQ(WindowsPlatformServices().ShellOpen(ShellVerb::Open, "C:\\no\\such\\file.txt"),
            systemErrorText(ERROR_FILE_NOT_FOUND));
}

TEST(PlaySoundTest, UnknownResourceReturns) {
  // No audio device here: only that it returns, and does not throw.
  WindowsPlatformServices().PlayResourceSound("no such sound");
  WindowsPlatformServices().SimpleBeep();
}

namespace {

bool shutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  PRIVILEGE_SET asked{1, PRIVILEGE_SET_ALL_NECESSARY, {}};
  LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &asked.Privilege[0].Luid);
  BOOL enabled = FALSE;
  PrivilegeCheck(token, &asked, &enabled);
  CloseHandle(token);
  return enabled != FALSE;
}

}  // namespace

// A power request that another program refuses leaves the program as it
// was: the shutdown privilege is on only while the request is made.
TEST(ExitSystemTest, TheShutdownPrivilegeIsOnOnlyWhileTheRequestIsMade) {
  ASSERT_FALSE(shutdownPrivilegeEnabled());
  bool enabledDuring = false;
  EXPECT_EQ(withPrivilege(L"SeShutdownPrivilege", [&] { enabledDuring = shutdownPrivilegeEnabled(); }),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(enabledDuring);
  EXPECT_FALSE(shutdownPrivilegeEnabled());
  bool ran = false;
  EXPECT_EQ(withPrivilege(L"SeNoSuchPrivilege", [&] { ran = true; }), static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE));
  EXPECT_FALSE(ran);
}

namespace {

// A top-level window of its own class on a thread of its own, which pumps
// its messages or, stuck, does not.
class WindowOnAThread {
 public:
  WindowOnAThread(const wchar_t* className, bool answers) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([=, this] {
      window_ = CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
      threadId_ = GetCurrentThreadId();
      SetEvent(ready);
      if (answers) {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
      } else {
        WaitForSingleObject(stuck_, INFINITE);
      }
      DestroyWindow(window_);
    });
    WaitForSingleObject(ready, 5000);
    CloseHandle(ready);
  }
  ~WindowOnAThread() {
    SetEvent(stuck_);
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(stuck_);
  }

 private:
  HANDLE stuck_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND window_ = nullptr;
  std::thread thread_;
  DWORD threadId_ = 0;
};

}  // namespace

// A second start hands over to the first; a first that does not answer is
// not taken for one that did.
TEST(SingleInstanceTest, ASecondStartFindsOutWhetherTheRunningOneAnswers) {
  const std::filesystem::path exe = besideThisTest(L"single-instance-test.exe");
  SingleInstance running(exe);
  ASSERT_TRUE(running.first());
  const SingleInstance later(exe);
  ASSERT_FALSE(later.first());
  EXPECT_FALSE(later.showRunning(L"HoravelTestNoWindow", 200));
  {
    WindowOnAThread answering(L"HoravelTestAnswering", true);
    EXPECT_TRUE(later.showRunning(L"HoravelTestAnswering", 2000));
  }
  WindowOnAThread stuck(L"HoravelTestStuck", false);
  EXPECT_FALSE(later.showRunning(L"HoravelTestStuck", 300));
}
