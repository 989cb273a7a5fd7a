// A harmless program for tests that start programs: it adds the line "fired"
// to marker.txt beside itself and exits, so the lines count its runs. No
// console, no window.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash || slash - path + 12 >= MAX_PATH) return 1;
  wcscpy(slash + 1, L"marker.txt");
  const HANDLE file =
      CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, "fired\r\n", 7, &written, nullptr);
  CloseHandle(file);
  return 0;
}
