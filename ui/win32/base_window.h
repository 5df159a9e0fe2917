#pragma once
// A top-level window whose messages reach a C++ object: the window procedure
// stores the object's address on WM_NCCREATE (passed as CreateWindowExW's
// last argument) and hands every message to Derived::HandleMessage. The
// window does not outlive its object.

#include <windows.h>

namespace win32 {

template <typename Derived>
class BaseWindow {
 public:
  // The window's handle; null before creation and after destruction.
  HWND Window() const { return hwnd_; }

 protected:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  // Destroys a window still open, as when a failure unwinds past its
  // object. The window is detached first: its last messages, sent while
  // Derived's members are already gone, go to DefWindowProcW, and its
  // WM_DESTROY ends no message loop.
  ~BaseWindow() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) {
    Derived* self = message == WM_NCCREATE ? Attach(hwnd, lparam) : Of(hwnd);
    if (!self) {
      return message == WM_NCCREATE
                 ? FALSE
                 : DefWindowProcW(hwnd, message, wparam, lparam);
    }
    LRESULT result = 0;
    try {
      result = self->HandleMessage(message, wparam, lparam);
    } catch (...) {
      // No C++ exception may unwind through the system's code; a failure
      // that no handler took is dropped with its message.
      result = DefWindowProcW(hwnd, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
    }
    return result;
  }

  HWND hwnd_ = nullptr;

 private:
  static Derived* Attach(HWND hwnd, LPARAM lparam) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    auto* self = static_cast<Derived*>(create->lpCreateParams);
    SetLastError(ERROR_SUCCESS);
    if (!SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                           reinterpret_cast<LONG_PTR>(self)) &&
        GetLastError() != ERROR_SUCCESS) {
      return nullptr;  // WM_NCCREATE fails, and so does CreateWindowExW
    }
    self->hwnd_ = hwnd;
    return self;
  }

  static Derived* Of(HWND hwnd) {
    return reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
};

}  // namespace win32
