#pragma once
// What the status bar says of a list's selection: how many items, and how large they are
// together (files by their size, folders by their total where the worker has given it).

#include <QList>
#include <QString>

class CListPanel;

namespace browse {

struct CSelectionSummary {
  int nItems = 0;
  quint64 uBytes = 0;
  bool bAllSized = true;  // false when a folder's total is not known (yet)
};

// The rows of the panel's listing; the parent entry ".." is not an item and is left out.
CSelectionSummary SummarizeRows(const CListPanel& panel, const QList<int>& rows);
// "Selected: 3 (1.50 KB)"; empty when nothing is selected. A folder of unknown total adds
// nothing to the size.
QString SelectionSummaryText(const CSelectionSummary& summary);

}  // namespace browse
