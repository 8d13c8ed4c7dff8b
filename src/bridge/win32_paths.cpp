#include "win32_paths.h"

#include <windows.h>

namespace zeltaro::bridge {

namespace {

using ToUnix = char*(__cdecl*)(const WCHAR*);
using ToDos = WCHAR*(__cdecl*)(const char*);

// Absent outside Wine: then paths stay as they are.
void* wineFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<void*>(GetProcAddress(kernel, name)) : nullptr;
}

}  // namespace

std::string toUnixPath(const std::string& windowsPath) {
  auto convert = reinterpret_cast<ToUnix>(wineFunction("wine_get_unix_file_name"));
  if (!convert) return windowsPath;
  int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
  if (n <= 0) return windowsPath;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), n);
  char* unix = convert(wide.c_str());
  if (!unix) return windowsPath;
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

std::string toWindowsPath(std::string_view unixPath) {
  if (unixPath.find('/') == std::string_view::npos) return std::string(unixPath);
  auto convert = reinterpret_cast<ToDos>(wineFunction("wine_get_dos_file_name"));
  if (!convert) return std::string(unixPath);
  std::string unix(unixPath);
  WCHAR* dos = convert(unix.c_str());
  if (!dos) return unix;
  int n = WideCharToMultiByte(CP_ACP, 0, dos, -1, nullptr, 0, nullptr, nullptr);
  std::string result;
  if (n > 0) {
    result.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, dos, -1, result.data(), n, nullptr, nullptr);
    result.resize(static_cast<size_t>(n - 1));
  }
  HeapFree(GetProcessHeap(), 0, dos);
  return n > 0 ? result : unix;
}

}  // namespace zeltaro::bridge
