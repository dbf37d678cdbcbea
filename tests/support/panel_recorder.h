#pragma once
// A list-panel observer for tests: remembers what the panel tells the frame, in order.

#include <QStringList>

#include "browse/list_panel.h"

namespace test {

class CPanelRecorder : public IListPanelObserver {
 public:
  void OnPanelLocation(EPanelId, const CPanelLocation& location) override {
    locations.append(location.path);
  }
  void OnPanelStatusText(EPanelId, const QString& strText) override { statuses.append(strText); }
  void OnPanelOpenFile(EPanelId, const QString& strFullPath) override {
    opened.append(strFullPath);
  }
  QStringList locations, statuses, opened;
};

}  // namespace test
