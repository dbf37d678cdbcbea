#pragma once
// The command ids of the main frame: the menu and tool-bar commands of the program's command
// table, and the ids this desktop adds for commands the table has no number for (navigation,
// the selection bar, the tool bar's layout buttons, the file commands between the panels).

enum EFrameCommand : int {
  // Layouts.
  eCmd_SingleList = 32948,
  eCmd_SingleTree = 32949,
  eCmd_VerticalBrowser = 32950,
  eCmd_HorizontalBrowser = 32951,
  eCmd_QuadroHorizontal = 32958,
  eCmd_QuadroVertical = 32959,
  // Bars.
  eCmd_ToolBar = 32917,
  eCmd_HeaderBar = 32916,
  eCmd_AddressBar = 32943,
  eCmd_SearchBar = 32944,
  eCmd_StatusBar = 33058,
  // List styles, left pane (panel A) and right pane (panel B).
  eCmd_LeftLargeIcons = 32790,
  eCmd_LeftSmallIcons = 32791,
  eCmd_LeftList = 32792,
  eCmd_LeftDetails = 32793,
  eCmd_LeftShowHeader = 32794,
  eCmd_RightLargeIcons = 32795,
  eCmd_RightSmallIcons = 32796,
  eCmd_RightList = 32797,
  eCmd_RightDetails = 32798,
  eCmd_RightShowHeader = 32799,
  // Font sizes.
  eCmd_FontSmallest = 32900,
  eCmd_FontSmaller = 32899,
  eCmd_FontNormal = 32898,
  eCmd_FontLarger = 32897,
  eCmd_FontLargest = 32896,
  // Screen orientation.
  eCmd_Rotate90CW = 32789,
  eCmd_Rotate90CCW = 32983,
  eCmd_Rotate180 = 32984,
  eCmd_Portrait0 = 32981,
  eCmd_Landscape90 = 32978,
  eCmd_Portrait180 = 32980,
  eCmd_Landscape270 = 32982,
  // Others of the table.
  eCmd_Refresh = 32947,
  eCmd_ManageProfiles = 32963,
  eCmd_Exit = 32783,
  eCmd_Cut = 57635,
  eCmd_Copy = 57634,
  eCmd_Paste = 57637,
  eCmd_PasteShortcut = 32940,
  eCmd_SelectAll = 32960,
  eCmd_UnselectAll = 32961,
  eCmd_InvertSelection = 32962,

  // The desktop's own ids.
  eCmd_Open = 34001,
  eCmd_Back = 34002,
  eCmd_Forward = 34003,
  eCmd_Up = 34004,
  eCmd_SwitchPanel = 34005,
  eCmd_SelectionBar = 34006,
  eCmd_Delete = 34010,
  eCmd_Rename = 34011,
  eCmd_NewFolder = 34012,
  eCmd_CopyToOther = 34013,  // F5: the selection into the other panel's folder
  eCmd_MoveToOther = 34014,  // F6
  eCmd_Shred = 34015,
  eCmd_Restore = 34016,       // the recycle bin's list: back to where the items were
  eCmd_DeleteForGood = 34017, // the recycle bin's list: purge
  eCmd_Encrypt = 34018,
  eCmd_Decrypt = 34019,
  eCmd_About = 34030,
  eCmd_OpenContainingFolder = 34031,  // a search result's folder in the panel, the item focused
  eCmd_SearchResults = 34032,         // the fifth view with the last search's results
  eCmd_DeviceProperties = 34033,
  eCmd_Properties = 34100,  // Alt+Enter: the properties of the focused file or folder
  eCmd_Settings = 34050,           // the settings sheet (Ctrl+,)
  eCmd_AddFavorite = 34051,        // the active panel's place into the favorites
  eCmd_OrganizeFavorites = 34052,
  // Commands a listing carries out itself: the registry editor's.
  eCmd_NewKey = 34040,
  eCmd_NewDwordValue = 34041,
  eCmd_NewStringValue = 34042,
  eCmd_NewMultiStringValue = 34043,
  eCmd_Modify = 34044,
  eCmd_Export = 34045,
  eCmd_Import = 34046,
  eCmd_ToolLayoutGroup0 = 34020,  // the four layout buttons of the tool bar, by group
  eCmd_ToolLayoutGroup1 = 34021,
  eCmd_ToolLayoutGroup2 = 34022,
  eCmd_ToolLayoutGroup3 = 34023,
  // Archives (ui/zip_commands.h).
  eCmd_ExtractHere = 34071,
  eCmd_ExtractTo = 34072,
  eCmd_TestArchive = 34073,
  eCmd_Compress = 34074,
  // Desktop keys and the layouts without a command of the table.
  eCmd_DeletePermanently = 34080,  // Shift+Delete
  eCmd_ShowHidden = 34081,         // Ctrl+H: hidden items shown or not, in trees and lists
  eCmd_FocusAddress = 34082,       // Ctrl+L
  eCmd_ToggleSelect = 34083,       // Insert, Ctrl+Space: the focused row, then the next
  eCmd_ViewFile = 34084,           // F3
  eCmd_EditFile = 34085,           // F4
  eCmd_TwoTrees = 34086,           // layout 1
  eCmd_TwoLists = 34087,           // layout 2
  eCmd_TwoTreesStacked = 34088,    // layout 4
  eCmd_TwoListsStacked = 34089,    // layout 5
};
