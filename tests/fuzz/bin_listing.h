#pragma once
// The recycle bin's listing over the fuzz root's bin folder: what a user sees of crafted
// containers and descriptors. Every row's every text is made, and each row must name an item of
// the bin folder.

#include <QString>

namespace fuzz {

inline const QString kBin = QStringLiteral("\\Bin");

// Lists kBin as the bin's list source does, and checks the rows.
void ListBin();

}  // namespace fuzz
