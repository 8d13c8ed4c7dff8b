// SPDX-License-Identifier: GPL-3.0-or-later
// Test double of HAMLOG's main window and of the companion's window.
//   fake_windows.exe hamlog [zero]   a "TThwin" window with a "TEdit" child; every field message
//                                    and every key press on the child is appended to record.txt
//                                    beside the program; field messages are answered with the
//                                    input window (this window, parent of the "TEdit"), or 0
//                                    with "zero".
//   fake_windows.exe companion       a window titled "Tarvopc - OPERATE" at 100,120 (400 x 300).
// Either prints "up" on standard output once its window exists.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

HWND g_edit = nullptr;
bool g_answerZero = false;
// Wide, so that the record lands beside the program in a folder whatever its name.
std::wstring g_record;

void append(const std::string& line) {
  FILE* f = _wfopen(g_record.c_str(), L"ab");
  if (!f) return;
  std::fwrite(line.data(), 1, line.size(), f);
  std::fclose(f);
}

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_COPYDATA) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
    char head[64];
    std::snprintf(head, sizeof head, "field %lX %lu ", static_cast<unsigned long>(data->dwData),
                  static_cast<unsigned long>(data->cbData));
    append(head + std::string(static_cast<const char*>(data->lpData), data->cbData) + "\n");
    return g_answerZero ? 0 : reinterpret_cast<LRESULT>(window);
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, w, l);
}

LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_KEYDOWN) {
    char line[96];
    std::snprintf(
        line, sizeof line, "key %X data %lX ctrl %d shift %d alt %d\n", static_cast<unsigned>(w),
        static_cast<unsigned long>(l), (GetKeyState(VK_CONTROL) & 0x8000) ? 1 : 0,
        (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, (GetKeyState(VK_MENU) & 0x8000) ? 1 : 0);
    append(line);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

void registerClass(const char* name, WNDPROC proc) {
  WNDCLASSA c{};
  c.lpfnWndProc = proc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.lpszClassName = name;
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&c);
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "hamlog";
  HWND main = nullptr;
  if (mode == "companion") {
    registerClass("TFakeCompanion", DefWindowProcA);
    main = CreateWindowA("TFakeCompanion", "Tarvopc - OPERATE", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                         100, 120, 400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  } else {
    g_answerZero = argc > 2 && std::strcmp(argv[2], "zero") == 0;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    g_record = self;
    g_record = g_record.substr(0, g_record.rfind(L'\\') + 1) + L"record.txt";
    registerClass("TThwin", mainProc);
    registerClass("TEdit", editProc);
    main = CreateWindowA("TThwin", "HAMLOG", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    g_edit = CreateWindowA("TEdit", "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, main, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  if (!main) return 1;
  std::printf("up\n");
  std::fflush(stdout);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
