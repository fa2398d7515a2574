// Two jobs for the Wine test session:
//   uz-warmup.exe          opens one small window, pumps messages briefly, exits 0.
//                          A fresh session sometimes hangs in its first GUI process;
//                          running this first under a timeout lets the session script
//                          notice and start over before any real test runs.
//   uz-warmup.exe --hold   keeps a hidden window until the session is taken down.
//                          Wine closes its desktop process a second after the last GUI
//                          program exits, and every GUI test would then pay for (and
//                          risk hanging in) starting it again. Prints "ready" once its
//                          window exists.
#include <windows.h>

#include <cwchar>

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kLifetimeMs = 200;
constexpr wchar_t kClassName[] = L"UzWarmupWindow";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
  case WM_TIMER:
    if (wparam == kTimerId) {
      KillTimer(hwnd, kTimerId);
      DestroyWindow(hwnd);
      return 0;
    }
    break;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  default:
    break;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

bool HoldRequested() {
  int argc = 0;
  LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  bool hold = argv && argc > 1 && std::wcscmp(argv[1], L"--hold") == 0;
  LocalFree(argv);
  return hold;
}

void SayReady() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE)
    return;
  const char text[] = "ready\n";
  DWORD written = 0;
  WriteFile(out, text, sizeof text - 1, &written, nullptr);
  FlushFileBuffers(out);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const bool hold = HoldRequested();

  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc))
    return 2;

  const DWORD style = WS_OVERLAPPEDWINDOW | (hold ? 0 : WS_VISIBLE);
  HWND hwnd = CreateWindowExW(0, kClassName, L"uz-warmup", style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                              instance, nullptr);
  if (!hwnd)
    return 3;

  if (hold) {
    SayReady();
  } else {
    UpdateWindow(hwnd);
    if (!SetTimer(hwnd, kTimerId, kLifetimeMs, nullptr)) {
      DestroyWindow(hwnd);
      return 4;
    }
  }

  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return got == 0 ? 0 : 5;
}
