// A harmless program for tests that start programs: it writes "fired" into
// marker.txt beside itself and exits. No console, no window.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash || slash - path + 12 >= MAX_PATH) return 1;
  wcscpy(slash + 1, L"marker.txt");
  const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, "fired", 5, &written, nullptr);
  CloseHandle(file);
  return 0;
}
