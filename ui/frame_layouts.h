#pragma once
// The frame's view numbers, slot assignments and layout table. A layout number (the value of
// MainViewConfig) picks an assignment of the four views to the four slots and the slots that
// are shown. The slots form a 2x2 grid: 0 top left, 1 top right, 2 bottom left, 3 bottom right.

#include <array>

#include "platform/wintypes.h"

enum EFrameView : int {
  eView_None = 0,
  eView_TreeA = 1,
  eView_TreeB = 2,
  eView_ListA = 3,
  eView_ListB = 4,
  eView_Fifth = 5,  // layout 10 only
};

enum ESlotAssignment : int {
  eAssign_X = 0,  // tree A, tree B, list A, list B in slots 0..3
  eAssign_Y = 1,  // tree A, list A, tree B, list B in slots 0..3
};

constexpr int kSlotCount = 4;
constexpr DWORD kLayoutCount = 11;        // 0..10
constexpr DWORD kRestorableLayouts = 10;  // 0..9 are restored at start

struct CFrameLayout {
  ESlotAssignment assignment = eAssign_X;
  std::array<bool, kSlotCount> visible{};  // slots shown
  int activeView = eView_None;             // single-view layouts make this view active
};

namespace frame {

// The layout of a number; an unknown number gives layout 7 ("Single list").
CFrameLayout Layout(DWORD dwLayout);
// The view in a slot under an assignment.
int ViewInSlot(ESlotAssignment assignment, int nSlot);
// The slot of a view under an assignment; -1 for the fifth view.
int SlotOfView(ESlotAssignment assignment, int nView);
// The views a layout shows, in slot order.
std::array<bool, 5> VisibleViews(DWORD dwLayout);
// The tool-bar group of a layout: {0,1,2} 0, {3,4,5} 1, {6,7,10} 2, {8,9} 3.
int LayoutGroup(DWORD dwLayout);
bool IsSingleViewLayout(DWORD dwLayout);

}  // namespace frame
