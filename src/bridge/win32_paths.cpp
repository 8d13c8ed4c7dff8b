// SPDX-License-Identifier: GPL-3.0-or-later
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

std::wstring wide(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// text in codePage; lossy becomes true when a character had no counterpart there.
std::string narrow(const std::wstring& text, UINT codePage, bool* lossy = nullptr) {
  if (lossy) *lossy = false;
  if (text.empty()) return {};
  BOOL usedDefault = FALSE;
  const bool ansi = codePage != CP_UTF8;
  int n = WideCharToMultiByte(codePage, ansi ? WC_NO_BEST_FIT_CHARS : 0, text.data(),
                              static_cast<int>(text.size()), nullptr, 0, nullptr,
                              ansi ? &usedDefault : nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(codePage, ansi ? WC_NO_BEST_FIT_CHARS : 0, text.data(),
                        static_cast<int>(text.size()), out.data(), n, nullptr,
                        ansi ? &usedDefault : nullptr);
  if (lossy) *lossy = usedDefault || (n <= 0);
  return out;
}

}  // namespace

std::string toUnixPath(const std::wstring& windowsPath) {
  auto convert = reinterpret_cast<ToUnix>(wineFunction("wine_get_unix_file_name"));
  if (!convert) return narrow(windowsPath, CP_UTF8);
  char* unix = convert(windowsPath.c_str());
  if (!unix) return narrow(windowsPath, CP_UTF8);
  std::string result(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

std::wstring toWindowsPath(std::string_view unixPath) {
  if (unixPath.find('/') == std::string_view::npos) return wide(unixPath, CP_UTF8);
  auto convert = reinterpret_cast<ToDos>(wineFunction("wine_get_dos_file_name"));
  if (!convert) return wide(unixPath, CP_UTF8);
  std::string unix(unixPath);
  WCHAR* dos = convert(unix.c_str());
  if (!dos) return wide(unixPath, CP_UTF8);
  std::wstring result(dos);
  HeapFree(GetProcessHeap(), 0, dos);
  return result;
}

std::string ansiPath(const std::wstring& windowsPath) {
  bool lossy = false;
  std::string ansi = narrow(windowsPath, CP_ACP, &lossy);
  if (!lossy) return ansi;
  const auto cut = windowsPath.rfind(L'\\');
  if (cut == std::wstring::npos) return ansi;
  const std::wstring folder = windowsPath.substr(0, cut + 1);
  DWORD n = GetShortPathNameW(folder.c_str(), nullptr, 0);
  if (n == 0) return ansi;
  std::wstring shortFolder(n, L'\0');
  n = GetShortPathNameW(folder.c_str(), shortFolder.data(), n);
  if (n == 0) return ansi;
  shortFolder.resize(n);
  if (shortFolder.back() != L'\\') shortFolder += L'\\';
  return narrow(shortFolder + windowsPath.substr(cut + 1), CP_ACP);
}

}  // namespace zeltaro::bridge
