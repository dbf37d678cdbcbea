#pragma once
// Profiles: named sets of all per-profile options. The built-in profile "Default" always
// exists and is not stored in the list; user profiles n = 0 .. NumProfiles-1 are stored in the
// product key as ProfName%d and ProfDtl%d. A profile's options live in the subkey named after
// it. Names compare without regard to case. Called on the user-interface thread only.
//
// Every refusal is shown in the program's error box (core/message_box.h) and changes nothing.

#include <QString>
#include <QVector>
#include <functional>

#include "platform/wintypes.h"

// Menu commands of the profiles menu: "Default", then user profile n as kCmdProfileFirst + 1 + n.
constexpr UINT kCmdProfileFirst = 42160;
// A stored NumProfiles above this is damaged input and reads as 0.
constexpr DWORD kMaxProfiles = 1000;

// One user profile as stored.
struct CStoredProfile {
  QString strName;     // "N/A" when missing
  QString strDetails;  // "N/A" when missing
};
// NumProfiles, ProfName%d and ProfDtl%d of the product key.
QVector<CStoredProfile> ReadProfileList();

struct CProfileMenuItem {
  UINT uCommand;
  QString strLabel;
  bool bChecked;  // the current profile
};
// "Default" (42160), then every user profile n (42161 + n); the current profile is checked.
QVector<CProfileMenuItem> ProfileMenu();

// Sets the current profile's name in memory and writes CurrentProfile to the product key.
bool SetCurrentProfile(const QString& strName);

// The profiles-menu command: saves all options into the current profile, makes the chosen
// profile current and loads its options. False (and nothing done) for a command that names
// no profile. The caller then applies the options to the frame and rebuilds its menus.
bool SwitchProfile(UINT uCommand);

// The management dialog's list and its operations.
class CProfileManager {
 public:
  struct CRow {
    QString strName;
    QString strDetails;
    int nNumber;  // the stored profile number; -1 for the built-in row 0
  };

  // The edit sub-dialog: shown with the given name and details; true on OK with the entered
  // texts in place, false when cancelled.
  using EditFn = std::function<bool(QString* pstrName, QString* pstrDetails)>;

  CProfileManager();

  // Row 0 is the built-in profile, then one row per user profile in number order.
  const QVector<CRow>& Rows() const { return rows_; }
  // The row of the current profile (0 for "Default"), or -1 when no row matches.
  int CurrentRow() const;

  // Each operation takes the selected row (-1: none) where it needs one and returns true when
  // it changed something.
  bool Add(const EditFn& edit);
  bool Edit(int nRow, const EditFn& edit);
  bool Delete(int nRow);
  bool Activate(int nRow);

  // After an Add, an Activate or the deletion of the active profile the frame must load and
  // apply the current profile's options when the dialog closes.
  bool NeedsReload() const { return profilesChanged_ || currentChanged_; }
  bool ProfilesChanged() const { return profilesChanged_; }
  bool CurrentProfileChanged() const { return currentChanged_; }

 private:
  void Fill();
  bool SaveList() const;
  bool CheckSelected(int nRow) const;
  // Checks 1 and 2 of a new or edited name; nSkipRow is left out of the duplicate check.
  bool CheckName(const QString& strName, int nSkipRow) const;
  bool IsCurrent(int nRow) const;

  QVector<CRow> rows_;
  bool profilesChanged_ = false;
  bool currentChanged_ = false;
};
