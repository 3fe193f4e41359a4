#pragma once
// A vertex's list of neighbours or triangles in the progressive build: most
// fans are short, so they live inside the vertex and only long ones take a
// block of their own; a build of many vertices then neither allocates per
// vertex nor spreads its fans over the heap.
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace pavix {

class CFanList {
 public:
  // A vertex inside a triangle mesh has six; the list is 32 bytes either way.
  static constexpr std::uint32_t kInline = 6;

  CFanList() = default;
  CFanList(const CFanList& other) { assign(other.begin(), other.end()); }
  CFanList(CFanList&& other) noexcept { Take(other); }
  CFanList& operator=(const CFanList& other) {
    if (this != &other) assign(other.begin(), other.end());
    return *this;
  }
  CFanList& operator=(CFanList&& other) noexcept {
    if (this != &other) {
      Free();
      Take(other);
    }
    return *this;
  }
  ~CFanList() { Free(); }

  int* begin() { return data(); }
  int* end() { return data() + size_; }
  const int* begin() const { return data(); }
  const int* end() const { return data() + size_; }
  int* data() { return capacity_ > kInline ? store_.heap : store_.local; }
  const int* data() const { return capacity_ > kInline ? store_.heap : store_.local; }
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
    const std::uint32_t capacity = std::max(capacity_ * 2, 16u);
    int* bigger = new int[capacity];
    std::copy(begin(), end(), bigger);
    Free();
    store_.heap = bigger;
    capacity_ = capacity;
  }
  void Free() {
    if (capacity_ > kInline) delete[] store_.heap;
    capacity_ = kInline;
  }
  void Take(CFanList& other) {
    size_ = other.size_;
    capacity_ = other.capacity_;
    if (capacity_ > kInline) store_.heap = other.store_.heap;
    else std::copy(other.store_.local, other.store_.local + size_, store_.local);
    other.size_ = 0;
    other.capacity_ = kInline;
  }

  // The elements themselves while they fit, else the block holding them
  // (owned: freed by Free, which the capacity tells when to do).
  union Store {
    int local[kInline];
    int* heap;
  } store_;
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = kInline;
};

}  // namespace pavix
