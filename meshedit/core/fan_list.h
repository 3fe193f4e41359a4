#pragma once
// A vertex's list of neighbours or triangles in the progressive build: most
// fans are short, so they live inside the vertex and only long ones take a
// block of their own; a build of many vertices then neither allocates per
// vertex nor spreads its fans over the heap.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace pavix {

class CFanList {
 public:
  static constexpr std::uint32_t kInline = 8;

  CFanList() = default;
  CFanList(const CFanList& other) { assign(other.begin(), other.end()); }
  CFanList(CFanList&& other) noexcept { Take(other); }
  CFanList& operator=(const CFanList& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
  }
  CFanList& operator=(CFanList&& other) noexcept {
    if (this != &other) {
      heap_.reset();
      Take(other);
    }
    return *this;
  }
  ~CFanList() = default;

  int* begin() { return data(); }
  int* end() { return data() + size_; }
  const int* begin() const { return data(); }
  const int* end() const { return data() + size_; }
  int* data() { return heap_ ? heap_.get() : inline_; }
  const int* data() const { return heap_ ? heap_.get() : inline_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  int& operator[](std::size_t k) { return data()[k]; }
  int operator[](std::size_t k) const { return data()[k]; }

  void push_back(int value) {
    if (size_ == capacity_) Grow();
    data()[size_++] = value;
  }
  void clear() { size_ = 0; }
  // Removes the element at `at`, keeping the order of the rest.
  void erase(int* at) {
    std::copy(at + 1, end(), at);
    --size_;
  }
  template <class Pred>
  void EraseIf(Pred pred) {
    size_ = static_cast<std::uint32_t>(std::remove_if(begin(), end(), pred) - begin());
  }
  void assign(const int* first, const int* last) {
    size_ = 0;
    for (; first != last; ++first) push_back(*first);
  }

 private:
  void Grow() {
    const std::uint32_t capacity = capacity_ * 2;
    auto bigger = std::make_unique_for_overwrite<int[]>(capacity);
    std::copy(begin(), end(), bigger.get());
    heap_ = std::move(bigger);
    capacity_ = capacity;
  }
  void Take(CFanList& other) {
    size_ = other.size_;
    capacity_ = other.capacity_;
    if (other.heap_) heap_ = std::move(other.heap_);
    else std::copy(other.inline_, other.inline_ + other.size_, inline_);
    other.size_ = 0;
    other.capacity_ = kInline;
  }

  int inline_[kInline];
  std::unique_ptr<int[]> heap_;
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInline;
};

}  // namespace pavix
