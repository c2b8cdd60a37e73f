// The small object framework under the host's data-model classes: a base
// object with a run-time class record and hooks for serialisation, a
// validity check and a dump; a sequential archive; typed arrays and maps of
// pointers over the standard library; and the reference count of the result
// objects.
//
// Only the classes of hostmodel/ build on it. An array or map of pointers
// never owns what it points at; each class built on one says whether it
// frees its items.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The host data-model classes are the host's: a shared library that carries
// them makes them visible under their class names.
#define ZELBA_MODEL_EXPORT __attribute__((visibility("default")))

namespace zelba::hostmodel {

// The run-time class record of a model class: its name and the record of
// the class it derives from (null for the root object).
struct ModelClass {
  const char* name;
  const ModelClass* base;

  // True when this class is `other` or derives from it.
  bool IsDerivedFrom(const ModelClass& other) const;
};

// A sequential archive of values held as text: a storing archive appends
// each value written, a loading one gives them back in the same order. A read
// past the end or of a value of the wrong kind fails, leaves the target as it
// was and marks the archive failed; later reads fail too.
class ZELBA_MODEL_EXPORT ModelArchive {
 public:
  // A storing archive, empty.
  ModelArchive() = default;
  // A loading archive over `values` (those of a storing archive).
  explicit ModelArchive(std::vector<std::string> values)
      : storing_(false), values_(std::move(values)) {}

  bool IsStoring() const { return storing_; }
  bool IsLoading() const { return !storing_; }
  bool Failed() const { return failed_; }
  const std::vector<std::string>& Values() const { return values_; }

  void Write(const std::string& value);
  void Write(long long value);
  void Write(double value);  // 17 significant digits: a double reads back exactly

  bool Read(std::string& value);
  bool Read(long long& value);
  bool Read(double& value);

 private:
  bool storing_ = true;
  bool failed_ = false;
  size_t next_ = 0;  // the next value a loading archive gives
  std::vector<std::string> values_;
};

// The root of the data-model classes that carry run-time class information.
// Virtual operations in this order: the run-time class, the destructor,
// serialisation, the validity check, the dump.
class ZELBA_MODEL_EXPORT ModelObject {
 public:
  static const ModelClass kClass;  // "ModelObject"

  virtual const ModelClass& RuntimeClass() const { return kClass; }
  virtual ~ModelObject() = default;
  // Writes the object's values to a storing archive or reads them back from
  // a loading one; the root object has none.
  virtual void Serialize(ModelArchive& archive) { (void)archive; }
  // True when the object's values are consistent.
  virtual bool IsValid() const { return true; }
  // Appends a one-line description of the object to `out`.
  virtual void Dump(std::string& out) const { out += RuntimeClass().name; }

  bool IsKindOf(const ModelClass& c) const { return RuntimeClass().IsDerivedFrom(c); }
};

// An array of pointers to T, in the order they were added. It does not own
// them. Positions outside 0..GetSize()-1 give null and change nothing.
template <class T>
class ModelPtrArray {
 public:
  int GetSize() const { return static_cast<int>(items_.size()); }
  bool IsEmpty() const { return items_.empty(); }
  T* GetAt(int index) const {
    return IsIndex(index) ? items_[static_cast<size_t>(index)] : nullptr;
  }
  T* operator[](int index) const { return GetAt(index); }
  // Appends `item`; its position.
  int Add(T* item) {
    items_.push_back(item);
    return GetSize() - 1;
  }
  // Takes `item` out; returns it, or null for a position outside the array.
  T* RemoveAt(int index) {
    if (!IsIndex(index)) return nullptr;
    T* item = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    return item;
  }
  // Takes `item` out wherever it is listed (the item is not freed); how
  // many times it was.
  int RemoveItem(const T* item) {
    int removed = 0;
    for (int i = Find(item); i >= 0; i = Find(item)) {
      RemoveAt(i);
      ++removed;
    }
    return removed;
  }
  // Empties the array; the items are not freed.
  void RemoveAll() { items_.clear(); }
  // The first position of `item`, or -1.
  int Find(const T* item) const {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i] == item) return static_cast<int>(i);
    }
    return -1;
  }
  // Room for `count` items more without moving the others: the host's
  // growth step.
  void SetGrowBy(int count) {
    if (count > 0) items_.reserve(items_.size() + static_cast<size_t>(count));
  }

  typename std::vector<T*>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<T*>::const_iterator end() const { return items_.end(); }

 protected:
  ModelPtrArray() = default;
  ModelPtrArray(const ModelPtrArray&) = default;
  ModelPtrArray& operator=(const ModelPtrArray&) = default;
  ~ModelPtrArray() = default;

 private:
  bool IsIndex(int index) const { return index >= 0 && index < GetSize(); }

  std::vector<T*> items_;
};

// A map from keys to pointers to V. It does not own them.
template <class K, class V>
class ModelPtrMap {
 public:
  explicit ModelPtrMap(size_t buckets = 17) { map_.rehash(buckets); }

  int GetCount() const { return static_cast<int>(map_.size()); }
  // The pointer of `key`, or null.
  V* Lookup(const K& key) const {
    auto it = map_.find(key);
    return it == map_.end() ? nullptr : it->second;
  }
  // Sets the pointer of `key`, in place of any earlier one.
  void SetAt(const K& key, V* value) { map_[key] = value; }
  // Takes `key` out; false when it was not there.
  bool RemoveKey(const K& key) { return map_.erase(key) > 0; }
  void RemoveAll() { map_.clear(); }

  typename std::unordered_map<K, V*>::const_iterator begin() const { return map_.begin(); }
  typename std::unordered_map<K, V*>::const_iterator end() const { return map_.end(); }

 private:
  std::unordered_map<K, V*> map_;
};

// The reference count of a result object. The creator holds the first
// reference; Reference adds one, DeReference gives one back and frees the
// object when none is left. The objects live on the heap only: their
// destructors are protected, so that nothing but DeReference frees them.
class ZELBA_MODEL_EXPORT RefCounted {
 public:
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  // The count after adding one.
  int Reference() { return ++count_; }
  // The count after giving one back; at 0 the object is freed and must not
  // be used again.
  int DeReference() {
    const int left = --count_;
    if (left <= 0) delete this;
    return left;
  }
  int ReferenceCount() const { return count_; }

 protected:
  RefCounted() = default;
  virtual ~RefCounted() = default;

 private:
  int count_ = 1;
};

}  // namespace zelba::hostmodel
