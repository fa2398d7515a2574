// The Wine test session's warm-up: opens one small window, pumps messages
// briefly, exits 0. A fresh session sometimes hangs in its first GUI process;
// running this first under a timeout lets the session script notice and start
// over before any real test runs. The benchmark also times it as a bare window
// program, for scale.
#include <windows.h>

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

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassW(&wc))
    return 2;

  HWND hwnd = CreateWindowExW(0, kClassName, L"uz-warmup",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                              instance, nullptr);
  if (!hwnd)
    return 3;

  UpdateWindow(hwnd);
  if (!SetTimer(hwnd, kTimerId, kLifetimeMs, nullptr)) {
    DestroyWindow(hwnd);
    return 4;
  }

  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return got == 0 ? 0 : 5;
}
