#pragma once
// The program's folder walk (fileops/plan_walk.h) over any folder of the device, the root
// "\" included: WalkFolder takes a folder by its own find record, which the root does not
// have, so the root's entries are read here by descriptor and each top-level folder is
// walked with WalkFolder. Everything else (descriptors, links never entered, entries read
// before they are visited) is the plan walk's.

#include <QString>

#include "fileops/plan_walk.h"

namespace collect {

// As fileops::WalkFolder; for "\" the visitor sees FolderEntered and FolderLeft with the path
// "\" and a record holding only FILE_ATTRIBUTE_DIRECTORY.
bool WalkTree(const QString& strFolder, fileops::IPlanVisitor& visitor);

}  // namespace collect
