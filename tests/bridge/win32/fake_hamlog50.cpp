// SPDX-License-Identifier: GPL-3.0-or-later
// Test double of HAMLOG's database library: exports the 58 names (stdcall), answers the seven
// that the first-QSO check calls over log.txt beside the library, and appends every call to
// calls.txt there. version.txt (hexadecimal) sets the version. Built a second time with
// WITHOUT_DBSDBRREAD, lacking that one name.
//
// log.txt: one record a line, "number|call|code|freq|mode|remarks1|remarks2". The call-sign
// index (16) orders by the first six characters of the call, the code index (17) by the code,
// both then by number.
//
// Like HAMLOG's library it takes its database path in the ANSI code page and reads log.txt
// through that path; its own files (calls.txt, version.txt) it finds by wide names, so that it
// works in any folder.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#define EXPORT extern "C" __declspec(dllexport)

namespace {

struct Rec {
  int number;
  std::string call, code, freq, mode, rmk1, rmk2;
};

std::wstring g_folder;
std::vector<Rec> g_log;
std::vector<size_t> g_byCall, g_byCode;

// Where the cursor is kept inside the caller's block: an offset no field of the record uses.
constexpr size_t kCursorOffset = 3000;

void record(const std::string& line) {
  FILE* f = _wfopen((g_folder + L"calls.txt").c_str(), L"ab");
  if (!f) return;
  std::fwrite(line.data(), 1, line.size(), f);
  std::fputc('\n', f);
  std::fclose(f);
}

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t bar = line.find('|', start);
    parts.push_back(line.substr(start, bar - start));
    if (bar == std::string::npos) return parts;
    start = bar + 1;
  }
}

// The log beside the database whose path (ANSI code page) the caller gave.
void readLog(const std::string& databasePath) {
  g_log.clear();
  std::ifstream in(databasePath.substr(0, databasePath.rfind('\\') + 1) + "log.txt",
                   std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto p = split(line);
    if (p.size() != 7) continue;
    g_log.push_back({std::atoi(p[0].c_str()), p[1], p[2], p[3], p[4], p[5], p[6]});
  }
  g_byCall.clear();
  g_byCode.clear();
  for (size_t i = 0; i < g_log.size(); ++i) {
    g_byCall.push_back(i);
    g_byCode.push_back(i);
  }
  auto key16 = [](const Rec& r) { return r.call.substr(0, 6); };
  std::stable_sort(g_byCall.begin(), g_byCall.end(), [&](size_t a, size_t b) {
    return std::make_pair(key16(g_log[a]), g_log[a].number) <
           std::make_pair(key16(g_log[b]), g_log[b].number);
  });
  std::stable_sort(g_byCode.begin(), g_byCode.end(), [&](size_t a, size_t b) {
    return std::make_pair(g_log[a].code, g_log[a].number) <
           std::make_pair(g_log[b].code, g_log[b].number);
  });
}

const std::vector<size_t>& indexOf(int index) { return index == 17 ? g_byCode : g_byCall; }
std::string keyOf(const Rec& r, int index) { return index == 17 ? r.code : r.call.substr(0, 6); }

// The texts behind the record's pointers are kept in the block's far end, which the caller
// owns and keeps (below 4 GiB also in a 64-bit caller).
constexpr size_t kTextArea = 3100;

void putRecord(unsigned char* block, const Rec& r) {
  std::memset(block, 0, 825);
  std::strncpy(reinterpret_cast<char*>(block), r.call.c_str(), 36);
  std::strncpy(reinterpret_cast<char*>(block + 37), r.code.c_str(), 40);
  const std::string* texts[] = {&r.freq, &r.mode, &r.rmk1, &r.rmk2};
  const size_t offsets[] = {825, 829, 841, 845};
  size_t at = kTextArea;
  for (int i = 0; i < 4; ++i) {
    size_t n = std::min<size_t>(texts[i]->size(), 200);
    std::memcpy(block + at, texts[i]->data(), n);
    block[at + n] = 0;
    auto p = static_cast<unsigned>(reinterpret_cast<uintptr_t>(block + at));
    std::memcpy(block + offsets[i], &p, 4);
    at += n + 1;
  }
  std::memcpy(block + 1753, &r.number, 4);
}

int cursor(const unsigned char* block) {
  int c = 0;
  std::memcpy(&c, block + kCursorOffset, 4);
  return c;
}

void setCursor(unsigned char* block, int c) { std::memcpy(block + kCursorOffset, &c, 4); }

std::wstring longPath(const std::wstring& path) {
  wchar_t out[MAX_PATH] = {};
  DWORD n = GetLongPathNameW(path.c_str(), out, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(out, n) : path;
}

// Whether path (ANSI code page) names "HAMLOG" in the library's own folder, by its long name or
// its short one.
bool besideLibrary(const char* path) {
  wchar_t wide[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) == 0) return false;
  std::wstring p = wide;
  const auto cut = p.rfind(L'\\');
  if (cut == std::wstring::npos || p.substr(cut + 1) != L"HAMLOG") return false;
  return longPath(p.substr(0, cut + 1)) == longPath(g_folder);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    g_folder = path;
    g_folder = g_folder.substr(0, g_folder.rfind(L'\\') + 1);
    record("attach");
  } else if (reason == DLL_PROCESS_DETACH) {
    record("detach");
  }
  return TRUE;
}

EXPORT unsigned __stdcall GetThdllVersion() {
  record("GetThdllVersion");
  unsigned version = 0x50300;
  if (FILE* f = _wfopen((g_folder + L"version.txt").c_str(), L"rb")) {
    if (std::fscanf(f, "%x", &version) != 1) version = 0;
    std::fclose(f);
  }
  return version;
}

EXPORT int __stdcall SetDbsShare(int share) {
  record("SetDbsShare " + std::to_string(share));
  return 0;
}

EXPORT int __stdcall HamlogOpen(int zero, unsigned char* block, const char* path, int one) {
  bool zeroed = std::all_of(block, block + 3927, [](unsigned char c) { return c == 0; });
  // The database beside the library shows as "here", so that the record needs no drive letter.
  bool here = besideLibrary(path);
  record("HamlogOpen " + std::to_string(zero) + " " + (zeroed ? "zeroed " : "dirty ") +
         (here ? std::string("here") : std::string(path)) + " " + std::to_string(one));
  if (!here) return 1;
  if (FILE* f = _wfopen((g_folder + L"open_fails").c_str(), L"rb")) {
    std::fclose(f);
    return 2;
  }
  readLog(path);
  return 0;
}

EXPORT int __stdcall HamlogClose(unsigned char*, int zero) {
  record("HamlogClose " + std::to_string(zero));
  return 0;
}

EXPORT int __stdcall THW_seek(unsigned char* block, const char* key, int index) {
  record(std::string("THW_seek ") + key + " " + std::to_string(index));
  const auto& order = indexOf(index);
  for (size_t i = 0; i < order.size(); ++i) {
    if (keyOf(g_log[order[i]], index) >= key) {
      setCursor(block, static_cast<int>(i));
      putRecord(block, g_log[order[i]]);
      return 0;
    }
  }
  return -1;
}

EXPORT int __stdcall THW_skip(unsigned char* block, int count, int index) {
  record("THW_skip " + std::to_string(count) + " " + std::to_string(index));
  const auto& order = indexOf(index);
  int next = cursor(block) + count;
  if (next < 0 || next >= static_cast<int>(order.size())) return -1;
  setCursor(block, next);
  putRecord(block, g_log[order[static_cast<size_t>(next)]]);
  return 0;
}

// The band class is the whole number of MHz: enough for the check, which compares two.
EXPORT int __stdcall FreqPCheck(const char* freq) {
  record(std::string("FreqPCheck ") + freq);
  return std::atoi(freq);
}

#define UNUSED_ENTRY(name) \
  EXPORT int __stdcall name() { return 0; }
UNUSED_ENTRY(THW_idxrmv)
UNUSED_ENTRY(Wget_bit)
UNUSED_ENTRY(Wput_bit)
UNUSED_ENTRY(ChosonCheck)
UNUSED_ENTRY(Get_lupdate)
UNUSED_ENTRY(THW_zap)
UNUSED_ENTRY(T_Open)
UNUSED_ENTRY(T_Puts)
UNUSED_ENTRY(T_GetDbs)
UNUSED_ENTRY(T_Gets)
UNUSED_ENTRY(JStrStr)
UNUSED_ENTRY(DateTimeSort)
UNUSED_ENTRY(MasterSort)
UNUSED_ENTRY(CopyFromMAS)
UNUSED_ENTRY(dbf_rcount)
UNUSED_ENTRY(dbf_recno)
UNUSED_ENTRY(dbf_write2)
UNUSED_ENTRY(DB_append)
UNUSED_ENTRY(dbf_write)
UNUSED_ENTRY(dbf_packwk)
UNUSED_ENTRY(dbf_create)
UNUSED_ENTRY(dbf_open)
UNUSED_ENTRY(dbf_close)
UNUSED_ENTRY(dbf_read)
UNUSED_ENTRY(dbf_delete)
UNUSED_ENTRY(dbf_rsize)
UNUSED_ENTRY(THW_read)
UNUSED_ENTRY(THW_readv)
UNUSED_ENTRY(THW_top)
UNUSED_ENTRY(THW_btm)
UNUSED_ENTRY(THW_update)
UNUSED_ENTRY(THW_append)
UNUSED_ENTRY(THW_flush)
UNUSED_ENTRY(Idx_ReadKey)
UNUSED_ENTRY(idx_open)
UNUSED_ENTRY(idx_close)
UNUSED_ENTRY(idx_search)
UNUSED_ENTRY(idx_next)
UNUSED_ENTRY(idx_back)
UNUSED_ENTRY(idx_top)
UNUSED_ENTRY(idx_bottom)
UNUSED_ENTRY(MakeIndex)
UNUSED_ENTRY(QSL_Rcv)
UNUSED_ENTRY(QSL_Send)
UNUSED_ENTRY(StrToLong)
UNUSED_ENTRY(Han2ZenStr)
UNUSED_ENTRY(GetDxEntity)
UNUSED_ENTRY(isPortable)
UNUSED_ENTRY(DbsDbrOpen)
UNUSED_ENTRY(DbsDbrClose)
#ifndef WITHOUT_DBSDBRREAD
UNUSED_ENTRY(DbsDbrRead)
#endif
