#include "ui/frame_layouts.h"

namespace frame {

namespace {

constexpr int kX[kSlotCount] = {eView_TreeA, eView_TreeB, eView_ListA, eView_ListB};
constexpr int kY[kSlotCount] = {eView_TreeA, eView_ListA, eView_TreeB, eView_ListB};

CFrameLayout Make(ESlotAssignment a, bool s0, bool s1, bool s2, bool s3, int nActive = 0) {
  CFrameLayout layout;
  layout.assignment = a;
  layout.visible = {s0, s1, s2, s3};
  layout.activeView = nActive;
  return layout;
}

}  // namespace

CFrameLayout Layout(DWORD dwLayout) {
  switch (dwLayout) {
    case 0: return Make(eAssign_X, true, false, true, false);
    case 1: return Make(eAssign_X, true, true, false, false);
    case 2: return Make(eAssign_X, false, false, true, true);
    case 3: return Make(eAssign_Y, true, true, false, false);
    case 4: return Make(eAssign_Y, true, false, true, false);
    case 5: return Make(eAssign_Y, false, true, false, true);
    case 6: return Make(eAssign_X, true, false, false, false, eView_TreeA);
    case 8: return Make(eAssign_Y, true, true, true, true);
    case 9: return Make(eAssign_X, true, true, true, true);
    case 10: return Make(eAssign_X, true, false, false, false, eView_Fifth);
    case 7:
    default: return Make(eAssign_X, false, false, true, false, eView_ListA);
  }
}

int ViewInSlot(ESlotAssignment assignment, int nSlot) {
  if (nSlot < 0 || nSlot >= kSlotCount) return eView_None;
  return assignment == eAssign_Y ? kY[nSlot] : kX[nSlot];
}

int SlotOfView(ESlotAssignment assignment, int nView) {
  for (int i = 0; i < kSlotCount; ++i)
    if (ViewInSlot(assignment, i) == nView) return i;
  return -1;
}

std::array<bool, 5> VisibleViews(DWORD dwLayout) {
  std::array<bool, 5> views{};
  const CFrameLayout layout = Layout(dwLayout);
  if (dwLayout == 10) {
    views[eView_Fifth - 1] = true;
    return views;
  }
  for (int i = 0; i < kSlotCount; ++i)
    if (layout.visible[i]) views[ViewInSlot(layout.assignment, i) - 1] = true;
  return views;
}

int LayoutGroup(DWORD dwLayout) {
  switch (dwLayout) {
    case 0: case 1: case 2: return 0;
    case 3: case 4: case 5: return 1;
    case 8: case 9: return 3;
    default: return 2;
  }
}

bool IsSingleViewLayout(DWORD dwLayout) { return dwLayout == 6 || dwLayout == 7 || dwLayout == 10; }

}  // namespace frame
