// Results: what the host's queries give back. A `CZelResult` is the values
// of one variable for one entity under one key (a time span and, for
// tables with a second key, an alternate key value); a `CZelResultSet`
// holds the results of one query; a `CVariableDataMap` records which
// per-variable data the host has loaded.
//
// Results, result sets and variable data maps are reference counted
// (model_object.h): the creator holds the first reference and the object is
// freed when the last one is given back. A result set holds a reference on
// each result in it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "hostmodel/model_object.h"

class CZelEntity;

// The time span of a result, in the host's time units (seconds since the
// host's epoch), and its alternate key.
class ZELBA_MODEL_EXPORT CResultTime {
 public:
  std::int64_t GetMinTime() const { return minTime_; }
  void SetMinTime(std::int64_t t) { minTime_ = t; }
  std::int64_t GetMaxTime() const { return maxTime_; }
  void SetMaxTime(std::int64_t t) { maxTime_ = t; }
  std::int64_t GetDisplayTime() const { return displayTime_; }
  void SetDisplayTime(std::int64_t t) { displayTime_ = t; }
  int Index() const { return index_; }
  void SetIndex(int index) { index_ = index; }
  bool HasAlternateKey() const { return hasAlternateKey_; }
  double GetAlternateKey() const { return alternateKey_; }
  void SetAlternateKey(double key) {
    hasAlternateKey_ = true;
    alternateKey_ = key;
  }
  void ClearAlternateKey() {
    hasAlternateKey_ = false;
    alternateKey_ = 0.0;
  }

 private:
  std::int64_t minTime_ = 0;      // first time the result covers
  std::int64_t maxTime_ = 0;      // last time it covers
  std::int64_t displayTime_ = 0;  // the time it is shown at
  int index_ = -1;                // its position among the query's times, -1 when none
  bool hasAlternateKey_ = false;
  double alternateKey_ = 0.0;  // a table's second key (a depth, a sample number)
};

// A time of the host's results.
class ZELBA_MODEL_EXPORT CZelTime {
 public:
  CZelTime() = default;
  explicit CZelTime(const CResultTime& time) : time_(time) {}

  const CResultTime& GetResultTime() const { return time_; }
  void SetResultTime(const CResultTime& time) { time_ = time; }

 private:
  CResultTime time_;
};

// The key of a result: the table's key text and its time.
class ZELBA_MODEL_EXPORT CZelResultKey {
 public:
  CZelResultKey() = default;
  CZelResultKey(const std::string& key, const CZelTime& time) : key_(key), time_(time) {}

  const std::string& GetKeyText() const { return key_; }
  const CZelTime& GetTime() const { return time_; }

 private:
  std::string key_;
  CZelTime time_;
};

// The values of one variable for one entity under one key.
class ZELBA_MODEL_EXPORT CZelResult : public zelba::hostmodel::RefCounted {
 public:
  // A numeric result (`numeric`) holds numbers; any other holds text the
  // host keeps elsewhere and has no numbers here. The entity is not owned.
  CZelResult(CZelEntity* entity, const std::string& variable, const CZelResultKey& key,
             bool numeric, std::vector<double> values)
      : entity_(entity),
        variable_(variable),
        key_(key),
        numeric_(numeric),
        values_(numeric ? std::move(values) : std::vector<double>()) {}

  CZelEntity* GetEntity() const { return entity_; }
  const std::string& GetVariable() const { return variable_; }
  const CZelResultKey& GetKey() const { return key_; }
  bool IsNumeric() const { return numeric_; }
  int GetSize() const { return static_cast<int>(values_.size()); }
  // The value at `index`; 0.0 outside 0..GetSize()-1.
  double operator[](int index) const {
    return index >= 0 && index < GetSize() ? values_[static_cast<size_t>(index)] : 0.0;
  }

 private:
  ~CZelResult() override = default;

  CZelEntity* entity_ = nullptr;
  std::string variable_;  // the host variable's name
  CZelResultKey key_;
  bool numeric_ = true;
  std::vector<double> values_;
};

// The results of one query, each held with a reference.
class ZELBA_MODEL_EXPORT CZelResultSet : public zelba::hostmodel::RefCounted {
 public:
  CZelResultSet() = default;

  // Adds `result` and takes a reference on it; null is ignored.
  void Add(CZelResult* result) {
    if (!result) return;
    result->Reference();
    results_.push_back(result);
  }
  int GetSize() const { return static_cast<int>(results_.size()); }
  // The result at `index` (the set keeps its reference), or null.
  CZelResult* GetAt(int index) const {
    return index >= 0 && index < GetSize() ? results_[static_cast<size_t>(index)] : nullptr;
  }
  // True when a result of the set has an alternate key.
  bool HasAlternateResult() const {
    for (const CZelResult* r : results_) {
      if (r->GetKey().GetTime().GetResultTime().HasAlternateKey()) return true;
    }
    return false;
  }

 private:
  ~CZelResultSet() override {
    for (CZelResult* r : results_) r->DeReference();
  }

  std::vector<CZelResult*> results_;
};

// Which data of a variable the host has loaded.
class ZELBA_MODEL_EXPORT CVariableDataMap : public zelba::hostmodel::RefCounted {
 public:
  CVariableDataMap() = default;

  bool SampleCountsLoaded() const { return sampleCountsLoaded_; }
  void SetSampleCountsLoaded(bool loaded) { sampleCountsLoaded_ = loaded; }
  bool GroupSampleCountsLoaded() const { return groupSampleCountsLoaded_; }
  void SetGroupSampleCountsLoaded(bool loaded) { groupSampleCountsLoaded_ = loaded; }
  bool AdjustmentsLoaded() const { return adjustmentsLoaded_; }
  void SetAdjustmentsLoaded(bool loaded) { adjustmentsLoaded_ = loaded; }

 private:
  ~CVariableDataMap() override = default;

  bool sampleCountsLoaded_ = false;       // samples per entity and time
  bool groupSampleCountsLoaded_ = false;  // samples per group of entities
  bool adjustmentsLoaded_ = false;        // the host's adjustments of the values
};

// The data of a variable for a group of completions.
class ZELBA_MODEL_EXPORT CZelVariableData {
 public:
  // The number of completions of the group that have samples.
  int GroupSampleCountCompletions() const { return groupSampleCountCompletions_; }
  void SetGroupSampleCountCompletions(int count) { groupSampleCountCompletions_ = count; }

 private:
  int groupSampleCountCompletions_ = 0;
};
