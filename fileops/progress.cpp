#include "fileops/progress.h"

#include "fileops/progress_state.h"
#include "core/texts.h"

namespace fileops {

namespace {

IProgressFactory* g_pFactory = nullptr;  // user-interface thread only

// The window of a process without a front-end: keeps its state, shows nothing, never
// cancelled.
class CSilentProgressWindow final : public CProgressWindowBase {
 public:
  using CProgressWindowBase::CProgressWindowBase;
};

}  // namespace

QString ProgressLabelFile() { return core::Text(IDS_PROGRESS_LABEL_FILE); }
QString ProgressLabelFrom() { return core::Text(IDS_PROGRESS_LABEL_FROM); }
QString ProgressLabelTo() { return core::Text(900200); }
QString ProgressLabelSize() { return core::Text(IDS_PROGRESS_LABEL_SIZE); }

void SetProgressFactory(IProgressFactory* pFactory) { g_pFactory = pFactory; }

IProgressFactory* ProgressFactory() { return g_pFactory; }

CScopedProgressFactory::CScopedProgressFactory(IProgressFactory* pFactory)
    : previous_(g_pFactory) {
  g_pFactory = pFactory;
}

CScopedProgressFactory::~CScopedProgressFactory() { g_pFactory = previous_; }

std::unique_ptr<IProgressWindow> CreateProgressWindow(EProgressKind kind, UINT uIcon1,
                                                      UINT uIcon2) {
  if (g_pFactory != nullptr) {
    std::unique_ptr<IProgressWindow> pWindow =
        g_pFactory->CreateProgressWindow(kind, uIcon1, uIcon2);
    if (pWindow) return pWindow;
  }
  return std::make_unique<CSilentProgressWindow>(kind);
}

}  // namespace fileops
