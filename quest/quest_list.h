#pragma once
// The list discipline shared by every quest list: a head pointer, records
// linked through their `next` field, new records pushed at the head, and the
// list owning its records.
#include <cstddef>
#include <iterator>

// Empties a head without freeing anything (a list that was handed over).
template <class T>
void InitListHead(T*& head) {
  head = nullptr;
}

// Links a record in front of the list; returns it.
template <class T>
T* PushHead(T*& head, T* record) {
  record->next = head;
  head = record;
  return record;
}

// Takes a record out of the list without freeing it. False when it is not there.
template <class T>
bool UnlinkRecord(T*& head, T* record) {
  for (T** link = &head; *link; link = &(*link)->next) {
    if (*link == record) {
      *link = record->next;
      record->next = nullptr;
      return true;
    }
  }
  return false;
}

// Unlinks and deletes a record; an address that is not in the list is ignored.
template <class T>
void RemoveRecord(T*& head, T* record) {
  if (UnlinkRecord(head, record)) delete record;
}

// Deletes every record, head first. The head is empty before each record is
// destroyed, so destructors that look at other lists never see this one half-freed.
template <class T>
void FreeList(T*& head) {
  T* record = head;
  head = nullptr;
  while (record) {
    T* next = record->next;
    delete record;
    record = next;
  }
}

template <class T>
std::size_t ListLength(const T* head) {
  std::size_t n = 0;
  for (; head; head = head->next) ++n;
  return n;
}

// Range over a list for range-for loops. The next record is read before the
// body runs, so the body may unlink and free the current one.
template <class T>
class ListRange {
 public:
  explicit ListRange(T* head) : head_(head) {}
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T*;
    using difference_type = std::ptrdiff_t;
    using pointer = T**;
    using reference = T*;
    iterator() = default;
    explicit iterator(T* p) : cur_(p), next_(p ? p->next : nullptr) {}
    T* operator*() const { return cur_; }
    iterator& operator++() {
      cur_ = next_;
      next_ = cur_ ? cur_->next : nullptr;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const iterator& o) const { return cur_ == o.cur_; }

   private:
    T* cur_ = nullptr;
    T* next_ = nullptr;
  };
  iterator begin() const { return iterator(head_); }
  iterator end() const { return iterator(); }

 private:
  T* head_;
};

template <class T>
ListRange<T> Each(T* head) {
  return ListRange<T>(head);
}
