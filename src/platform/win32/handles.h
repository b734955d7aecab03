#pragma once

// Owning wrappers for the kernel handles, GDI objects, device contexts,
// image lists, searches, shell item lists and COM interfaces the program
// holds, so every handle is released exactly once.

#include <windows.h>
// The headers below need the types <windows.h> declares.
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace platform::win32 {

struct GdiObjectDeleter {
  void operator()(void* object) const {
    if (object) DeleteObject(static_cast<HGDIOBJ>(object));
  }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

// A kernel handle closed with CloseHandle: a file opened by CreateFileW.
// Holds nothing rather than INVALID_HANDLE_VALUE.
struct KernelHandleDeleter {
  void operator()(HANDLE handle) const {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleDeleter>;

inline UniqueHandle adoptHandle(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// Closes the handle now, for a caller that must hear whether the close
// succeeded (a written file's last data may fail there): 0 or the OS code.
inline DWORD closeNow(UniqueHandle& handle) {
  HANDLE raw = handle.release();
  if (!raw) return 0;
  return CloseHandle(raw) ? 0 : GetLastError();
}

struct ImageListDeleter {
  void operator()(HIMAGELIST list) const {
    if (list) ImageList_Destroy(list);
  }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

// A window's DC from GetDC or GetDCEx, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  WindowDc(HWND hwnd, HDC dc) : hwnd_(hwnd), dc_(dc) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// An object selected into a device context for the guard's lifetime: the
// one it replaced is selected back when the guard goes.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// A search of FindFirstFileW, closed with FindClose.
struct FindHandleDeleter {
  void operator()(HANDLE search) const {
    if (search && search != INVALID_HANDLE_VALUE) FindClose(search);
  }
};
using UniqueFindHandle = std::unique_ptr<void, FindHandleDeleter>;

// An item ID list allocated by the shell (CoTaskMemAlloc).
struct CoTaskMemDeleter {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, CoTaskMemDeleter>;

inline UniquePidl clonePidl(LPCITEMIDLIST pidl) {
  return UniquePidl(pidl ? ILClone(pidl) : nullptr);
}

// A COM interface pointer holding one reference.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() {
    if (p_) p_->Release();
  }

  // Takes over a reference the caller already owns.
  static ComPtr attach(T* p) {
    ComPtr result;
    result.p_ = p;
    return result;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  T** put() {
    if (p_) p_->Release();
    p_ = nullptr;
    return &p_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }

 private:
  T* p_ = nullptr;
};

}  // namespace platform::win32
