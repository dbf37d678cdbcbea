#pragma once
// The order of a file-system listing. ".." comes first, then the folders, then everything
// else; within each group the sort field decides, and entries it finds equal keep their
// order (the panel sorts stably, which gives exactly the order of the original neighbour-swap
// sort in O(n log n)).
//
// Direction flag set (ascending): names and types A to Z, largest first, newest first.
// Flag clear: the reverse. The Attributes field does not reorder anything.

#include "browse/list_entry.h"

namespace browse {

// Negative when a comes before b, positive when after, 0 when their order is kept. Names and
// types compare ignoring case when MainListIgnoreCase is 1 (read once per call).
int CompareFileSystemEntries(const CListEntry& a, const CListEntry& b, int nField,
                             bool bAscending);

}  // namespace browse
