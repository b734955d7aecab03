#pragma once

// Owning wrappers for the GDI objects, searches, shell item lists and COM
// interfaces the program holds, so every handle is released exactly once.

#include <windows.h>
// The headers below need the types <windows.h> declares.
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

// An item ID list allocated by the shell (CoTaskMemAlloc).
// A search of FindFirstFileW, closed with FindClose.
struct FindHandleDeleter {
  void operator()(HANDLE search) const {
    if (search && search != INVALID_HANDLE_VALUE) FindClose(search);
  }
};
using UniqueFindHandle = std::unique_ptr<void, FindHandleDeleter>;

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
