#pragma once
// The growable list of scene objects: per-frame visibility lists, partition-tree results and
// container members. A list either owns its objects (frees them on Clear and destruction) or only
// refers to them. Slots 0..Count-1 hold objects, Count..Capacity-1 are null; Add grows by exactly
// one slot when full and Clear keeps the capacity, so a list refilled every frame settles at its
// steady size. Sort orders by SortKey ascending without allocating (an object whose key is not a
// number sorts as the farthest).

#include <cstdint>
#include <memory>
#include <vector>

#include "scene/3dObject.h"

namespace qv {

enum class TOwnership { Refers, Owns };

class T3dObjectList {
 public:
  explicit T3dObjectList(TOwnership ownership);
  // The source's objects first..last inclusive (an empty or reversed range gives an empty list).
  static T3dObjectList CreateRange(TOwnership ownership, const T3dObjectList& source, int first,
                                   int last);
  // A non-owning list of the source's first Count objects.
  static T3dObjectList CreateCopy(const T3dObjectList& source);

  T3dObjectList(T3dObjectList&& other) noexcept;
  T3dObjectList& operator=(T3dObjectList&& other) noexcept;
  T3dObjectList(const T3dObjectList&) = delete;
  T3dObjectList& operator=(const T3dObjectList&) = delete;
  virtual ~T3dObjectList();

  // The object in slot index; null between Count and Capacity; std::out_of_range outside the slots.
  virtual T3dObject* Get(int index) const;

  // An owning list takes the object over; std::overflow_error if Count would overflow.
  void Add(T3dObject* object);
  // For owning lists; a list that only refers to its objects refuses it (std::logic_error).
  void Add(std::unique_ptr<T3dObject> object);
  void AddList(const T3dObjectList& source);
  // Resizes to n slots; slots from Count up are null. An owning list frees objects cut off.
  void SetCapacity(int n);
  void Exchange(int i, int j);
  void Clear();
  void Sort();

  int Count() const { return count_; }
  int Capacity() const { return static_cast<int>(items_.size()); }
  bool OwnsObjects() const { return ownsObjects_; }

  T3dObject* operator[](int index) const { return Get(index); }

 private:
  void CheckIndex(int index) const;
  void FreeAll();
  void QuickSort(int first, int last);
  void InsertionSort(int first, int last);

  std::vector<T3dObject*> items_;  // Capacity slots; null from Count up
  bool ownsObjects_ = false;       // frees its objects on Clear and destruction
  int count_ = 0;                  // objects held, in slots 0..Count-1
};

}  // namespace qv
