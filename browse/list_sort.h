#pragma once
// The order of a file-system listing. ".." comes first, then the folders, then everything
// else; within each group the sort field decides, and entries it finds equal keep their
// order (the panel sorts stably, which gives exactly the order of the original neighbour-swap
// sort in O(n log n)).
//
// Direction flag set (ascending): names and types A to Z, largest first, newest first.
// Flag clear: the reverse. The Attributes field does not reorder anything.

#include "core/list_entry.h"

namespace browse {

// Negative when a comes before b, positive when after, 0 when their order is kept. Names and
// types compare ignoring case when MainListIgnoreCase is 1 (read once per call).
int CompareFileSystemEntries(const CListEntry& a, const CListEntry& b, int nField,
                             bool bAscending);

// Sorts a listing into exactly the order a stable sort with CompareFileSystemEntries gives,
// but compares compact copies of the keys: the entries and their texts lie scattered over the
// heap, and a sort that follows them pays cache misses at every comparison. The type texts
// must be filled for a sort by type.
void SortFileSystemEntries(CListEntries* pEntries, int nField, bool bAscending);

}  // namespace browse
