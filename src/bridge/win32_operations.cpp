// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32_operations.h"

#include <psapi.h>

#include <cstring>

#include "hamlog/entry_points.h"
#include "win32_call.h"
#include "win32_paths.h"

namespace zeltaro::bridge {

namespace {

HWND toHwnd(std::uint32_t handle) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle)); }
std::uint32_t fromHwnd(HWND window) {
  return static_cast<std::uint32_t>(reinterpret_cast<uintptr_t>(window));
}

// The folder of the program file that owns window, with its final "\"; empty when the process
// cannot be opened or queried. Wide, so that a folder the prefix's ANSI code page cannot spell
// keeps its name.
std::wstring programFolder(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return {};
  std::wstring folder;
  HMODULE module = nullptr;
  DWORD needed = 0;
  wchar_t name[MAX_PATH + 1] = {};
  if (EnumProcessModules(process, &module, sizeof module, &needed) &&
      GetModuleFileNameExW(process, module, name, MAX_PATH)) {
    folder = name;
    auto cut = folder.rfind(L'\\');
    folder = cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut + 1);
  }
  CloseHandle(process);
  return folder;
}

BOOL CALLBACK collectHamlog(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<std::vector<FoundWindow>*>(param);
  char cls[64] = {};
  if (GetClassNameA(window, cls, sizeof cls) > 0 && std::strcmp(cls, "TThwin") == 0) {
    std::wstring folder = programFolder(window);
    if (!folder.empty()) {
      std::string unix = toUnixPath(folder);
      // Wine drops the final separator; the Linux side compares folders ending in "/".
      if (unix.find('/') != std::string::npos && unix.back() != '/') unix += '/';
      found->push_back({fromHwnd(window), unix});
    }
  }
  return TRUE;
}

bool isCompanionTitle(const char* title) {
  if (std::strncmp(title, "Tarvopc ", 8) != 0) return false;
  for (const char* suffix : {"- OPERATE", "- CONFIG", "- VOICE CQ", "- LOAD", "- SAVE"})
    if (std::strstr(title, suffix)) return true;
  return false;
}

BOOL CALLBACK findCompanionWindow(HWND window, LPARAM param) {
  char title[251] = {};
  GetWindowTextA(window, title, sizeof title);
  if (!isCompanionTitle(title)) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

std::string boundedText(const char* text, size_t limit) {
  if (!text) return {};
  return std::string(text, strnlen(text, limit));
}

int entryIndex(std::string_view name) {
  for (size_t i = 0; i < hamlog::kEntryPointNames.size(); ++i)
    if (hamlog::kEntryPointNames[i] == name) return static_cast<int>(i);
  return -1;
}

const int kGetThdllVersion = entryIndex("GetThdllVersion");
const int kSetDbsShare = entryIndex("SetDbsShare");
const int kHamlogOpen = entryIndex("HamlogOpen");
const int kHamlogClose = entryIndex("HamlogClose");
const int kThwSeek = entryIndex("THW_seek");
const int kThwSkip = entryIndex("THW_skip");
const int kFreqPCheck = entryIndex("FreqPCheck");

// The block the library keeps its cursor and current record in. Its record fields hold 32-bit
// pointers, so it lives in the program image, which the 64-bit build places below 4 GiB.
unsigned char g_block[3927];

std::uintptr_t ptr(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

}  // namespace

Win32Operations::~Win32Operations() { libRelease(); }

std::vector<FoundWindow> Win32Operations::hamlogWindows() {
  std::vector<FoundWindow> found;
  EnumWindows(collectHamlog, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::uint32_t Win32Operations::sendField(std::uint32_t window, std::uint32_t dataWord,
                                         std::string_view text) {
  std::string bytes(text);
  COPYDATASTRUCT data{};
  data.dwData = dataWord;
  data.cbData = static_cast<DWORD>(bytes.size());
  data.lpData = bytes.data();
  LRESULT answer = SendMessageA(toHwnd(window), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  return static_cast<std::uint32_t>(answer);
}

bool Win32Operations::pressKey(std::uint32_t window, std::uint32_t virtualKey, bool ctrl,
                               bool shift, bool alt) {
  HWND edit = FindWindowExA(toHwnd(window), nullptr, "TEdit", nullptr);
  if (!edit) return false;
  DWORD self = GetCurrentThreadId();
  DWORD owner = GetWindowThreadProcessId(edit, nullptr);
  AttachThreadInput(self, owner, TRUE);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE savedShift = keys[VK_SHIFT], savedCtrl = keys[VK_CONTROL], savedAlt = keys[VK_MENU];
  if (ctrl) keys[VK_CONTROL] |= 0x80;
  if (shift) keys[VK_SHIFT] |= 0x80;
  if (alt) keys[VK_MENU] |= 0x80;
  SetKeyboardState(keys);
  Sleep(50);
  PostMessageA(edit, WM_KEYDOWN, virtualKey, 0);
  Sleep(100);
  keys[VK_SHIFT] = savedShift;
  keys[VK_CONTROL] = savedCtrl;
  keys[VK_MENU] = savedAlt;
  SetKeyboardState(keys);
  AttachThreadInput(self, owner, FALSE);
  return true;
}

bool Win32Operations::foreground(std::uint32_t window) {
  return SetForegroundWindow(toHwnd(window)) != 0;
}

bool Win32Operations::normalRect(std::uint32_t window, Rect& rect) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(toHwnd(window), &placement)) return false;
  rect = {placement.rcNormalPosition.left, placement.rcNormalPosition.top,
          placement.rcNormalPosition.right, placement.rcNormalPosition.bottom};
  return true;
}

bool Win32Operations::setPointer(std::int32_t x, std::int32_t y) { return SetCursorPos(x, y) != 0; }

void Win32Operations::getPointer(std::int32_t& x, std::int32_t& y) {
  POINT p{};
  GetCursorPos(&p);
  x = p.x;
  y = p.y;
}

std::uint32_t Win32Operations::findCompanion() {
  HWND found = nullptr;
  EnumWindows(findCompanionWindow, reinterpret_cast<LPARAM>(&found));
  return fromHwnd(found);
}

std::uint32_t Win32Operations::foregroundWindow() { return fromHwnd(GetForegroundWindow()); }

bool Win32Operations::libLoad(std::string_view file) {
  libRelease();
  std::wstring path = toWindowsPath(file);
  library_ = LoadLibraryW(path.c_str());
  if (!library_) return false;
  bool all = hamlog::resolvesAllEntryPoints([&](std::string_view name) {
    FARPROC entry = GetProcAddress(library_, std::string(name).c_str());
    entries_[entryIndex(name)] = entry;
    return entry != nullptr;
  });
  if (!all) libRelease();
  return all;
}

void Win32Operations::libRelease() {
  if (library_) FreeLibrary(library_);
  library_ = nullptr;
  std::memset(entries_, 0, sizeof entries_);
}

std::uint32_t Win32Operations::call(int entry, const std::uintptr_t* args, int count) {
  if (!library_ || entry < 0 || !entries_[entry]) return 0xFFFFFFFFu;
  return zeltaro_call_any(reinterpret_cast<void*>(entries_[entry]), args, count);
}

std::uint32_t Win32Operations::libVersion() { return call(kGetThdllVersion, nullptr, 0); }

void Win32Operations::libSetShare(std::int32_t share) {
  std::uintptr_t args[] = {static_cast<std::uintptr_t>(share)};
  call(kSetDbsShare, args, 1);
}

std::int32_t Win32Operations::libOpen(std::string_view basePath) {
  std::memset(g_block, 0, sizeof g_block);
  // HAMLOG's library takes its path in the ANSI code page.
  std::string path = ansiPath(toWindowsPath(basePath));
  std::uintptr_t args[] = {0, ptr(g_block), ptr(path.c_str()), 1};
  return static_cast<std::int32_t>(call(kHamlogOpen, args, 4));
}

void Win32Operations::libClose() {
  std::uintptr_t args[] = {ptr(g_block), 0};
  call(kHamlogClose, args, 2);
}

std::int32_t Win32Operations::libSeek(std::string_view key, std::int32_t index) {
  std::string text(key.substr(0, 6));
  std::uintptr_t args[] = {ptr(g_block), ptr(text.c_str()),
                           static_cast<std::uintptr_t>(static_cast<std::uint32_t>(index))};
  return static_cast<std::int32_t>(call(kThwSeek, args, 3));
}

std::int32_t Win32Operations::libSkip(std::int32_t count, std::int32_t index) {
  std::uintptr_t args[] = {ptr(g_block),
                           static_cast<std::uintptr_t>(static_cast<std::uint32_t>(count)),
                           static_cast<std::uintptr_t>(static_cast<std::uint32_t>(index))};
  return static_cast<std::int32_t>(call(kThwSkip, args, 3));
}

std::int32_t Win32Operations::libBandClass(std::string_view freq) {
  std::string text(freq);
  std::uintptr_t args[] = {ptr(text.c_str())};
  return static_cast<std::int32_t>(call(kFreqPCheck, args, 1));
}

Record Win32Operations::libRecord() {
  auto pointerAt = [&](size_t offset) {
    std::uint32_t p = 0;
    std::memcpy(&p, g_block + offset, 4);
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(p));
  };
  Record r;
  r.call = boundedText(reinterpret_cast<const char*>(g_block), 37);
  r.code = boundedText(reinterpret_cast<const char*>(g_block + 37), 825 - 37);
  r.freq = boundedText(pointerAt(825), 1024);
  r.mode = boundedText(pointerAt(829), 1024);
  r.remarks1 = boundedText(pointerAt(841), 1024);
  r.remarks2 = boundedText(pointerAt(845), 1024);
  std::memcpy(&r.number, g_block + 1753, 4);
  return r;
}

}  // namespace zeltaro::bridge
