#include "scene/3dObjectList.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace qv {

namespace {

// A NaN key would compare false both ways and let the partition scan run past the sentinel; it
// sorts as +infinity instead, i.e. with the farthest objects.
float KeyOf(const T3dObject* object) {
  const float key = object->SortKey;
  return std::isnan(key) ? std::numeric_limits<float>::infinity() : key;
}

void Free(T3dObject* object) { std::default_delete<T3dObject>()(object); }

}  // namespace

T3dObjectList::T3dObjectList(TOwnership ownership) : ownsObjects_(ownership == TOwnership::Owns) {}

T3dObjectList T3dObjectList::CreateRange(TOwnership ownership, const T3dObjectList& source,
                                         int first, int last) {
  T3dObjectList list(ownership);
  if (last < first) return list;
  source.CheckIndex(first);
  source.CheckIndex(last);
  list.items_.assign(source.items_.begin() + first, source.items_.begin() + last + 1);
  list.count_ = last - first + 1;
  return list;
}

T3dObjectList T3dObjectList::CreateCopy(const T3dObjectList& source) {
  T3dObjectList list(TOwnership::Refers);
  list.items_.assign(source.items_.begin(), source.items_.begin() + source.count_);
  list.count_ = source.count_;
  return list;
}

T3dObjectList::T3dObjectList(T3dObjectList&& other) noexcept
    : items_(std::move(other.items_)), ownsObjects_(other.ownsObjects_), count_(other.count_) {
  other.items_.clear();
  other.count_ = 0;
}

T3dObjectList& T3dObjectList::operator=(T3dObjectList&& other) noexcept {
  if (this == &other) return *this;
  FreeAll();
  items_ = std::move(other.items_);
  ownsObjects_ = other.ownsObjects_;
  count_ = other.count_;
  other.items_.clear();
  other.count_ = 0;
  return *this;
}

T3dObjectList::~T3dObjectList() { FreeAll(); }

void T3dObjectList::FreeAll() {
  if (ownsObjects_)
    for (T3dObject*& object : items_) {
      Free(object);
      object = nullptr;
    }
  items_.clear();
  count_ = 0;
}

void T3dObjectList::CheckIndex(int index) const {
  if (index < 0 || index >= Capacity())
    throw std::out_of_range("T3dObjectList index " + std::to_string(index) + " outside 0.." +
                            std::to_string(Capacity() - 1));
}

T3dObject* T3dObjectList::Get(int index) const {
  CheckIndex(index);
  return items_[index];
}

void T3dObjectList::Add(T3dObject* object) {
  if (count_ == std::numeric_limits<int32_t>::max())
    throw std::overflow_error("T3dObjectList count overflow");
  if (count_ >= Capacity()) SetCapacity(Capacity() + 1);
  items_[count_] = object;
  ++count_;
}

void T3dObjectList::Add(std::unique_ptr<T3dObject> object) {
  if (!ownsObjects_)
    throw std::logic_error("T3dObjectList: owned object added to a list that only refers");
  Add(object.get());
  object.release();
}

void T3dObjectList::AddList(const T3dObjectList& source) {
  const int64_t total = int64_t(count_) + source.count_;
  if (total > std::numeric_limits<int32_t>::max())
    throw std::overflow_error("T3dObjectList count overflow");
  if (Capacity() < total) SetCapacity(static_cast<int>(total));
  // Copied by index so that adding a list to itself reads only the original objects.
  const int n = source.count_;
  for (int i = 0; i < n; ++i) items_[count_ + i] = source.items_[i];
  count_ += n;
}

void T3dObjectList::SetCapacity(int n) {
  if (n < 0) throw std::out_of_range("T3dObjectList capacity " + std::to_string(n));
  if (n < count_) {
    // Shrinking below Count: the objects cut off are no longer held by anybody.
    if (ownsObjects_)
      for (int i = n; i < count_; ++i) Free(items_[i]);
    count_ = n;
  }
  items_.resize(n, nullptr);
  for (int i = count_; i < n; ++i) items_[i] = nullptr;
}

void T3dObjectList::Exchange(int i, int j) {
  CheckIndex(i);
  CheckIndex(j);
  std::swap(items_[i], items_[j]);
}

void T3dObjectList::Clear() {
  if (ownsObjects_)
    for (int i = 0; i < count_; ++i) {
      Free(items_[i]);
      items_[i] = nullptr;
    }
  count_ = 0;
}

void T3dObjectList::Sort() {
  if (count_ <= 2) return;
  // The largest key goes last: it stops every upward partition scan without a bounds test.
  int best = 0;
  for (int i = 1; i < count_; ++i)
    if (KeyOf(items_[best]) < KeyOf(items_[i])) best = i;
  std::swap(items_[best], items_[count_ - 1]);
  QuickSort(0, count_ - 1);
}

void T3dObjectList::InsertionSort(int first, int last) {
  for (int i = first + 1; i <= last; ++i) {
    T3dObject* x = items_[i];
    const float key = KeyOf(x);
    int j = i;
    while (j > first && KeyOf(items_[j - 1]) > key) {
      items_[j] = items_[j - 1];
      --j;
    }
    items_[j] = x;
  }
}

void T3dObjectList::QuickSort(int first, int last) {
  // Recurse into the smaller part and loop on the larger, so the stack stays logarithmic; the two
  // parts are disjoint, so the order in which they are sorted does not change the result.
  while (last - first >= 15) {
    T3dObject* pivot = items_[first];
    const float p = KeyOf(pivot);
    int i = first;
    int j = last + 1;
    do {
      do ++i;
      while (KeyOf(items_[i]) < p);
      do --j;
      while (KeyOf(items_[j]) > p);
      if (i < j) std::swap(items_[i], items_[j]);
    } while (i < j);
    items_[first] = items_[j];
    items_[j] = pivot;
    if (j - first < last - j) {
      QuickSort(first, j - 1);
      first = j + 1;
    } else {
      QuickSort(j + 1, last);
      last = j - 1;
    }
  }
  if (last > first) InsertionSort(first, last);
}

}  // namespace qv
