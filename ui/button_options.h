#pragma once
// The button options of every push button of the program's windows: flat buttons
// (Btn_Is_Flat) with or without a border (Btn_Draw_Flat_Border) and focus mark
// (Btn_Draw_Flat_Focus), and the standard pictures on the OK, Cancel, Yes and No buttons
// (Btn_Has_Icons). Each button takes the options when it is shown, so a change on the settings
// pages holds for the next window that opens.

class QPushButton;

// Installs the watcher on the application once (later calls do nothing).
void InstallButtonOptions();
// Applies the options to one button now.
void ApplyButtonOptions(QPushButton* pButton);
// The sound of a warning or an error box, when Enable_Sounds is on: the desktop's bell.
void PlayBoxSound(int nKind);
