#pragma once
// One row of a list panel: its entry type, the text it shows and the record behind it. The
// entry owns its record. The record types of the sources derive from CItemRecord: CFileItem
// (types 2-5), CRecycledItem (15, 16), and the zip member and registry records of their
// sources.

#include <QString>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "core/entry_types.h"

class CItemRecord {
 public:
  virtual ~CItemRecord() = default;
};

class CListEntry {
 public:
  CListEntry(DWORD dwType, QString strDisplayName, std::unique_ptr<CItemRecord> item)
      : type(dwType), displayName(std::move(strDisplayName)), item_(std::move(item)) {}

  DWORD type = eEntry_None;
  QString displayName;  // what the Name column shows; operations use the record's name

  CItemRecord* Item() const { return item_.get(); }
  // The record as a given record type; null when it is of another type (or there is none).
  template <class T>
  T* ItemAs() const {
    return dynamic_cast<T*>(item_.get());
  }

 private:
  std::unique_ptr<CItemRecord> item_;
};

// A panel's entries in display order. Index access is checked: an index outside 0..Count()-1
// gives null.
class CListEntries {
 public:
  int Count() const { return static_cast<int>(entries_.size()); }
  CListEntry* At(int nIndex) const {
    return nIndex >= 0 && nIndex < Count() ? entries_[nIndex].get() : nullptr;
  }
  CItemRecord* ItemAt(int nIndex) const {
    CListEntry* pEntry = At(nIndex);
    return pEntry ? pEntry->Item() : nullptr;
  }
  void Add(std::unique_ptr<CListEntry> entry) { entries_.push_back(std::move(entry)); }
  // Puts an entry before row nIndex (Count() appends).
  void Insert(int nIndex, std::unique_ptr<CListEntry> entry) {
    entries_.insert(entries_.begin() + nIndex, std::move(entry));
  }
  // Deletes nCount rows from nFirst on, with their records.
  void Remove(int nFirst, int nCount) {
    entries_.erase(entries_.begin() + nFirst, entries_.begin() + nFirst + nCount);
  }
  // Exchanges two rows (the sort works by neighbour swaps); out-of-range indices do nothing.
  void Swap(int a, int b) {
    if (At(a) && At(b)) std::swap(entries_[a], entries_[b]);
  }
  // Orders the rows by less(const CListEntry&, const CListEntry&), keeping the order of rows
  // that compare equal: the order neighbour swaps would reach, in O(n log n).
  template <class Less>
  void StableSort(Less less) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [&](const std::unique_ptr<CListEntry>& a,
                         const std::unique_ptr<CListEntry>& b) { return less(*a, *b); });
  }
  // Puts the rows into a new order: row i becomes the row that was at anOrder[i]. anOrder must
  // name every row exactly once.
  void Reorder(const std::vector<int>& anOrder) {
    std::vector<std::unique_ptr<CListEntry>> reordered;
    reordered.reserve(entries_.size());
    for (int nFrom : anOrder) reordered.push_back(std::move(entries_[nFrom]));
    entries_ = std::move(reordered);
  }
  // Takes the entry of row nIndex out of the array.
  std::unique_ptr<CListEntry> Take(int nIndex) {
    std::unique_ptr<CListEntry> entry = std::move(entries_[nIndex]);
    entries_.erase(entries_.begin() + nIndex);
    return entry;
  }
  // Appends every entry of another array, which is left empty.
  void AddAll(CListEntries* pOther) {
    for (auto& entry : pOther->entries_) entries_.push_back(std::move(entry));
    pOther->entries_.clear();
  }
  // Puts another entry at row nIndex; the old one is deleted with its record.
  void Set(int nIndex, std::unique_ptr<CListEntry> entry) { entries_[nIndex] = std::move(entry); }
  // Deletes every entry with its record.
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::unique_ptr<CListEntry>> entries_;
};
