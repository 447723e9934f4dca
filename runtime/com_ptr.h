#pragma once
// Owner of one COM interface reference.
#include <unknwn.h>

#include <utility>

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(Interface* adopted) : pointer_(adopted) {}
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    reset(std::exchange(other.pointer_, nullptr));
    return *this;
  }
  ~ComPtr() { reset(); }

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For out-parameters: releases what is held and hands out the slot.
  Interface** put() {
    reset();
    return &pointer_;
  }
  void reset(Interface* adopted = nullptr) {
    if (pointer_) pointer_->Release();
    pointer_ = adopted;
  }

 private:
  Interface* pointer_ = nullptr;
};
