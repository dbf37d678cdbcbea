#pragma once
// The selection every file operation takes (copy, move, delete, recycle, shred, encrypt, zip)
// and the one walk that totals it before a run starts: plan, then execute.
//
// The walk never descends into a symbolic link to a folder. A linked file counts with the size
// of what it points to (a dangling link as a file of size 0), a linked folder is neither
// entered nor counted, so a link can neither count a tree twice nor lead outside it.

#include <QString>

#include <functional>
#include <vector>

#include "platform/wintypes.h"

namespace fileops {

// The kind of a selection item.
enum ESelKind : int {
  eSelFile = 1,
  eSelFolder = 2,
};

// One selected item: its kind and its full device path ("\Docs\a.txt").
struct CSelItem {
  int nKind = eSelFile;
  QString strPath;
};

// An ordered array of items; operations work through it in this order.
using CSelection = std::vector<CSelItem>;

// What a progress bar counts for each folder of a run, beside the bytes of the files.
constexpr quint64 kFolderProgressBytes = 1024;

struct CSelectionTotals {
  quint64 files = 0;      // files, selected or below a selected folder
  quint64 folders = 0;    // selected folders and every folder below them (links excluded)
  quint64 fileBytes = 0;  // sizes of those files (64-bit: no wrap at 4 GB)

  // The range of a run's byte bar: the file bytes and kFolderProgressBytes per folder, so that
  // a tree of empty folders still moves the bar.
  quint64 ProgressBytes() const { return fileBytes + folders * kFolderProgressBytes; }
};

// Walks the selection into totals. A file whose size cannot be read counts with size 0; a
// folder that cannot be read, or that is a link, counts as one folder with nothing below it.
// fnStop, when given, is asked between items; true ends the walk early with the totals so far
// and the function returns false.
bool ComputeSelectionTotals(const CSelection& selection, CSelectionTotals* pTotals,
                            const std::function<bool()>& fnStop = {});

}  // namespace fileops
