#pragma once
// A view listener for tests: records every view notification in the order it came.

#include <QString>

#include <algorithm>
#include <vector>

#include "core/view_notify.h"

namespace test {

class CViewRecorder : public fileops::IViewListener {
 public:
  void OnViewChange(const fileops::CViewChange& change) override { changes.push_back(change); }
  // True when a notification of this kind named strPath (and no second path).
  bool Has(fileops::EViewChange change, const QString& strPath) const {
    return std::find(changes.begin(), changes.end(), fileops::CViewChange{change, strPath, {}}) !=
           changes.end();
  }
  std::vector<fileops::CViewChange> changes;
};

}  // namespace test
