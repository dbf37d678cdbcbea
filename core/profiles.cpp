#include "core/profiles.h"

#include "core/message_box.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "core/texts.h"

namespace {

constexpr int kNotAvailable = 55009;

QString NumProfilesName() { return QStringLiteral("NumProfiles"); }
QString ProfNameName(int n) { return QStringLiteral("ProfName%1").arg(n); }
QString ProfDtlName(int n) { return QStringLiteral("ProfDtl%1").arg(n); }

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The three texts of a box, by number: body, title, heading.
struct CBoxTexts {
  int nText;
  int nTitle;
  int nHeading;
};
constexpr CBoxTexts kNoSelection = {55233, 55234, 55235};
constexpr CBoxTexts kEmptyName = {55248, 55249, 55250};
constexpr CBoxTexts kDuplicateName = {55230, 55231, 55232};  // the body names the profile
constexpr CBoxTexts kEditBuiltIn = {55245, 55246, 55247};
constexpr CBoxTexts kDeleteBuiltIn = {55236, 55237, 55238};
constexpr CBoxTexts kConfirmDelete = {55239, 55240, 55241};  // the body names the profile
constexpr CBoxTexts kActiveDeleted = {55242, 55243, 55244};

// Shows a box of the given kind entry point; strName fills the "%1" of texts that have one.
int Show(int (*box)(const QString&, const QString&, const QString&, UINT), const CBoxTexts& t,
         const QString& strName = {}) {
  QString strText = core::Text(t.nText);
  if (strText.contains(u"%1")) strText = strText.arg(strName);
  return box(strText, core::Text(t.nTitle), core::Text(t.nHeading), 0);
}

// The profile errors are warning boxes (kind 2).
void Refuse(const CBoxTexts& t, const QString& strName = {}) { Show(&MsgWarning, t, strName); }

// Saves the options into the current profile and makes strName current.
void SaveAndMakeCurrent(const QString& strName) {
  SaveSettings();
  SetCurrentProfile(strName);
}

}  // namespace

QVector<CStoredProfile> ReadProfileList() {
  DWORD dwCount = 0;
  ReadGlobalDword(NumProfilesName(), 0, &dwCount);
  if (dwCount > kMaxProfiles) dwCount = 0;
  QVector<CStoredProfile> list;
  list.reserve(int(dwCount));
  for (int n = 0; n < int(dwCount); ++n) {
    CStoredProfile profile;
    ReadGlobalString(ProfNameName(n), core::Text(kNotAvailable), &profile.strName);
    ReadGlobalString(ProfDtlName(n), core::Text(kNotAvailable), &profile.strDetails);
    list.append(profile);
  }
  return list;
}

QVector<CProfileMenuItem> ProfileMenu() {
  const QString current = EffectiveProfileName();
  const QString builtIn = QString::fromUtf16(kDefaultProfileName);
  QVector<CProfileMenuItem> items;
  items.append({kCmdProfileFirst, builtIn, SameName(current, builtIn)});
  const QVector<CStoredProfile> list = ReadProfileList();
  for (int n = 0; n < list.size(); ++n)
    items.append(
        {kCmdProfileFirst + 1 + UINT(n), list[n].strName, SameName(current, list[n].strName)});
  return items;
}

bool SetCurrentProfile(const QString& strName) {
  settings.CurrentProfile = strName;
  return WriteGlobalString(QStringLiteral("CurrentProfile"), strName);
}

bool SwitchProfile(UINT uCommand) {
  QString strName;
  if (uCommand == kCmdProfileFirst) {
    strName = QString::fromUtf16(kDefaultProfileName);
  } else {
    const QVector<CStoredProfile> list = ReadProfileList();
    if (uCommand <= kCmdProfileFirst || uCommand - kCmdProfileFirst - 1 >= UINT(list.size()))
      return false;
    strName = list[int(uCommand - kCmdProfileFirst - 1)].strName;
  }
  SaveAndMakeCurrent(strName);
  LoadSettings();
  return true;
}

CProfileManager::CProfileManager() { Fill(); }

void CProfileManager::Fill() {
  rows_.clear();
  rows_.append(
      {QString::fromUtf16(kDefaultProfileName), core::Text(55227), -1});
  const QVector<CStoredProfile> list = ReadProfileList();
  for (int n = 0; n < list.size(); ++n) rows_.append({list[n].strName, list[n].strDetails, n});
}

int CProfileManager::CurrentRow() const {
  for (int row = 0; row < rows_.size(); ++row)
    if (IsCurrent(row)) return row;
  return -1;
}

bool CProfileManager::IsCurrent(int nRow) const {
  return SameName(rows_[nRow].strName, EffectiveProfileName());
}

bool CProfileManager::SaveList() const {
  bool bOk = true;
  for (int row = 1; row < rows_.size(); ++row) {
    bOk &= WriteGlobalString(ProfNameName(rows_[row].nNumber), rows_[row].strName);
    bOk &= WriteGlobalString(ProfDtlName(rows_[row].nNumber), rows_[row].strDetails);
  }
  bOk &= WriteGlobalDword(NumProfilesName(), DWORD(rows_.size() - 1));
  return bOk;
}

bool CProfileManager::CheckSelected(int nRow) const {
  if (nRow >= 0 && nRow < rows_.size()) return true;
  Refuse(kNoSelection);
  return false;
}

bool CProfileManager::CheckName(const QString& strName, int nSkipRow) const {
  if (strName.isEmpty()) {
    Refuse(kEmptyName);
    return false;
  }
  for (int row = 0; row < rows_.size(); ++row) {
    if (row == nSkipRow || !SameName(rows_[row].strName, strName)) continue;
    Refuse(kDuplicateName, strName);
    return false;
  }
  return true;
}

bool CProfileManager::Add(const EditFn& edit) {
  QString strName;
  QString strDetails;
  if (!edit(&strName, &strDetails) || !CheckName(strName, -1)) return false;
  rows_.append({strName, strDetails, int(rows_.size() - 1)});
  SaveList();
  Fill();
  profilesChanged_ = true;
  return true;
}

bool CProfileManager::Edit(int nRow, const EditFn& edit) {
  if (!CheckSelected(nRow)) return false;
  if (nRow == 0) {
    Refuse(kEditBuiltIn);
    return false;
  }
  QString strName = rows_[nRow].strName;
  QString strDetails = rows_[nRow].strDetails;
  if (!edit(&strName, &strDetails) || !CheckName(strName, nRow)) return false;
  // Renaming the active profile keeps it active under its new name. Editing another profile
  // leaves the current one alone: making it current here would have the next save write the
  // current options over the edited profile's.
  if (IsCurrent(nRow)) SetCurrentProfile(strName);
  rows_[nRow].strName = strName;
  rows_[nRow].strDetails = strDetails;
  SaveList();
  Fill();
  return true;
}

bool CProfileManager::Delete(int nRow) {
  if (!CheckSelected(nRow)) return false;
  if (nRow == 0) {
    Refuse(kDeleteBuiltIn);
    return false;
  }
  const int nAnswer = Show(&MsgQuestion, kConfirmDelete, rows_[nRow].strName);
  if (nAnswer != eMsgAnsYes) return false;
  if (IsCurrent(nRow)) {
    Show(&MsgNotice, kActiveDeleted);
    SaveAndMakeCurrent(QString::fromUtf16(kDefaultProfileName));
    currentChanged_ = true;
  }
  const int nRemoved = rows_[nRow].nNumber;
  rows_.removeAt(nRow);
  for (CRow& row : rows_)
    if (row.nNumber > nRemoved) --row.nNumber;
  SaveList();
  Fill();
  return true;
}

bool CProfileManager::Activate(int nRow) {
  if (!CheckSelected(nRow)) return false;
  SaveAndMakeCurrent(rows_[nRow].strName);
  currentChanged_ = true;
  Fill();
  return true;
}
