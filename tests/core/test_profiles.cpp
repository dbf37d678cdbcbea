// Profiles and favorites on a real hive, with the boxes answered by a script.
#include <gtest/gtest.h>

#include "core/favorites.h"
#include "core/profiles.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_screen.h"
#include "core/settings_store.h"
#include "platform/shell.h"
#include "support/scripted_message_box.h"
#include "support/temp_root.h"

namespace {

const QString kProductKey = QStringLiteral("Software\\Tarvish\\Pinewood Browser");

// The edit sub-dialog answering with fixed texts; nullopt-like cancel when bOk is false.
CProfileManager::EditFn Typed(const QString& strName, const QString& strDetails = {},
                              bool bOk = true) {
  return [=](QString* pstrName, QString* pstrDetails) {
    *pstrName = strName;
    *pstrDetails = strDetails;
    return bOk;
  };
}

QStringList RowNames(const CProfileManager& manager) {
  QStringList names;
  for (const auto& row : manager.Rows()) names << row.strName;
  return names;
}

DWORD GlobalDword(const QString& strName) {
  DWORD dwValue = 0xDEAD;
  ReadGlobalDword(strName, 0xDEAD, &dwValue);
  return dwValue;
}
QString GlobalString(const QString& strName) {
  QString value;
  ReadGlobalString(strName, QStringLiteral("<missing>"), &value);
  return value;
}
DWORD ProfileDword(const QString& strProfile, const QString& strName) {
  DWORD dwValue = 0xDEAD;
  ReadKeyDword(ProfileKeyPath(strProfile), strName, 0xDEAD, &dwValue);
  return dwValue;
}

class ProfilesTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    OverrideScreenSize(240, 320);
    settings.CurrentProfile = QStringLiteral("Default");
    LoadCurrentProfileName();
    LoadDefaults();
    LoadSettings();
  }
  // Adds user profiles through the dialog's operation.
  void AddProfiles(const QStringList& names) {
    CProfileManager manager;
    for (const QString& name : names) ASSERT_TRUE(manager.Add(Typed(name, name + " details")));
  }

  test::CScriptedMessageBox box_;
};

TEST_F(ProfilesTest, FreshHiveHasOnlyTheBuiltInProfileChecked) {
  const QVector<CProfileMenuItem> menu = ProfileMenu();
  ASSERT_EQ(menu.size(), 1);
  EXPECT_EQ(menu[0].uCommand, 42160u);
  EXPECT_EQ(menu[0].strLabel, QStringLiteral("Default"));
  EXPECT_TRUE(menu[0].bChecked);
  const CProfileManager manager;
  ASSERT_EQ(manager.Rows().size(), 1);
  EXPECT_EQ(manager.Rows()[0].strDetails, QStringLiteral("Default profile"));
  EXPECT_EQ(manager.CurrentRow(), 0);
}

TEST_F(ProfilesTest, AddStoresTheListAndRefusesEmptyAndDuplicateNames) {
  CProfileManager manager;
  ASSERT_TRUE(manager.Add(Typed("Work", "office")));
  EXPECT_TRUE(manager.NeedsReload());
  EXPECT_EQ(GlobalDword("NumProfiles"), 1u);
  EXPECT_EQ(GlobalString("ProfName0"), QStringLiteral("Work"));
  EXPECT_EQ(GlobalString("ProfDtl0"), QStringLiteral("office"));

  struct {
    const char* name;
    const char* title;
  } const refused[] = {{"default", "Profile already exists"},
                       {"DEFAULT", "Profile already exists"},
                       {"wORK", "Profile already exists"},
                       {"", "Invalid profile name"}};
  for (const auto& r : refused) {
    SCOPED_TRACE(r.name);
    const size_t before = box_.Calls().size();
    EXPECT_FALSE(manager.Add(Typed(r.name)));
    ASSERT_EQ(box_.Calls().size(), before + 1);
    EXPECT_EQ(box_.Calls().back().strTitle, QString::fromLatin1(r.title));
  }
  EXPECT_EQ(box_.Calls()[0].strText,
            QStringLiteral("The profile \"default\" already exists. Please choose another name "
                           "or delete the existing profile first."));
  EXPECT_FALSE(manager.Add(Typed("Home", "", false))) << "sub-dialog cancelled";
  EXPECT_EQ(RowNames(manager), QStringList({"Default", "Work"}));
  EXPECT_EQ(GlobalDword("NumProfiles"), 1u);

  const QVector<CProfileMenuItem> menu = ProfileMenu();
  ASSERT_EQ(menu.size(), 2);
  EXPECT_EQ(menu[1].uCommand, 42161u);
  EXPECT_EQ(menu[1].strLabel, QStringLiteral("Work"));
  EXPECT_FALSE(menu[1].bChecked);
}

TEST_F(ProfilesTest, DeletingProfileZeroOfThreeRenumbersTheOthers) {
  AddProfiles({"A", "B", "C"});
  CProfileManager manager;
  box_.QueueAnswer(eMsgAnsYes);
  ASSERT_TRUE(manager.Delete(1));
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strText,
            QStringLiteral("Warning, profile \"A\" is about to be deleted. Are you sure?"));
  EXPECT_EQ(GlobalDword("NumProfiles"), 2u);
  EXPECT_EQ(GlobalString("ProfName0"), QStringLiteral("B"));
  EXPECT_EQ(GlobalString("ProfDtl0"), QStringLiteral("B details"));
  EXPECT_EQ(GlobalString("ProfName1"), QStringLiteral("C"));
  EXPECT_EQ(RowNames(manager), QStringList({"Default", "B", "C"}));
  EXPECT_EQ(manager.Rows()[2].nNumber, 1);
  EXPECT_FALSE(manager.NeedsReload());

  box_.QueueAnswer(eMsgAnsNo);
  EXPECT_FALSE(manager.Delete(2)) << "declined";
  EXPECT_EQ(GlobalDword("NumProfiles"), 2u);
}

TEST_F(ProfilesTest, RefusalsWithoutASelectionOrOnTheBuiltInRow) {
  AddProfiles({"A"});
  CProfileManager manager;
  EXPECT_FALSE(manager.Delete(-1));
  EXPECT_FALSE(manager.Edit(-1, Typed("x")));
  EXPECT_FALSE(manager.Activate(-1));
  EXPECT_FALSE(manager.Delete(0));
  EXPECT_FALSE(manager.Edit(0, Typed("x")));
  const auto calls = box_.Calls();
  ASSERT_EQ(calls.size(), 5u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(calls[i].strTitle, QStringLiteral("No profile selected"));
  EXPECT_EQ(calls[3].strTitle, QStringLiteral("Profile delete error"));
  EXPECT_EQ(calls[4].strTitle, QStringLiteral("Edit profile error"));
  EXPECT_EQ(RowNames(manager), QStringList({"Default", "A"}));
}

TEST_F(ProfilesTest, DeletingTheActiveProfileSwitchesToDefaultWithOneNotice) {
  AddProfiles({"A", "B"});
  CProfileManager manager;
  ASSERT_TRUE(manager.Activate(2));
  EXPECT_EQ(settings.CurrentProfile, QStringLiteral("B"));
  settings.MainViewConfig = 4;

  box_.QueueAnswer(eMsgAnsYes);
  ASSERT_TRUE(manager.Delete(2));
  const auto calls = box_.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].nKind, int(eMsgKindNotice));
  EXPECT_EQ(calls[1].strText,
            QStringLiteral("The active profile has been deleted, switching to the default "
                           "profile."));
  EXPECT_EQ(calls[1].strHeader, QStringLiteral("Deleted the active profile"));
  EXPECT_EQ(settings.CurrentProfile, QStringLiteral("Default"));
  EXPECT_EQ(GlobalString("CurrentProfile"), QStringLiteral("Default"));
  EXPECT_EQ(ProfileDword("B", "MainViewConfig"), 4u) << "options saved before the switch";
  EXPECT_TRUE(manager.CurrentProfileChanged());
  EXPECT_EQ(manager.CurrentRow(), 0);
  EXPECT_EQ(RowNames(manager), QStringList({"Default", "A"}));
}

TEST_F(ProfilesTest, EditRenamesAndKeepsTheCurrentProfileWhereItWas) {
  AddProfiles({"A", "B"});
  CProfileManager manager;
  ASSERT_TRUE(manager.Activate(1));  // A is current
  ASSERT_TRUE(manager.Edit(2, Typed("Bee", "new details")));
  EXPECT_EQ(GlobalString("ProfName1"), QStringLiteral("Bee"));
  EXPECT_EQ(GlobalString("ProfDtl1"), QStringLiteral("new details"));
  EXPECT_EQ(settings.CurrentProfile, QStringLiteral("A")) << "editing another profile";

  ASSERT_TRUE(manager.Edit(1, Typed("a", "same name, other case")));
  EXPECT_TRUE(box_.Calls().empty()) << "the edited row itself is no duplicate";
  ASSERT_TRUE(manager.Edit(1, Typed("Alpha")));
  EXPECT_EQ(settings.CurrentProfile, QStringLiteral("Alpha"));
  EXPECT_EQ(GlobalString("CurrentProfile"), QStringLiteral("Alpha"));
  EXPECT_EQ(manager.CurrentRow(), 1);

  EXPECT_FALSE(manager.Edit(1, Typed("bee")));
  EXPECT_EQ(box_.Calls().back().strTitle, QStringLiteral("Profile already exists"));
}

TEST_F(ProfilesTest, SwitchSavesTheOldProfileAndLoadsTheNewOne) {
  AddProfiles({"Work"});
  WriteKeyDword(ProfileKeyPath("Work"), "MainViewConfig", 5);
  settings.MainViewConfig = 2;
  settings.MainListShowStripes = 0;

  ASSERT_TRUE(SwitchProfile(42161));
  EXPECT_EQ(settings.CurrentProfile, QStringLiteral("Work"));
  EXPECT_EQ(GlobalString("CurrentProfile"), QStringLiteral("Work"));
  EXPECT_EQ(ProfileDword("Default", "MainViewConfig"), 2u);
  EXPECT_EQ(settings.MainViewConfig, 5u);
  EXPECT_EQ(settings.MainListShowStripes, 0u) << "a value the new profile lacks is carried over";
  EXPECT_TRUE(ProfileMenu()[1].bChecked);

  ASSERT_TRUE(SwitchProfile(42160));
  EXPECT_EQ(settings.CurrentProfile, QStringLiteral("Default"));
  EXPECT_EQ(settings.MainViewConfig, 2u);
  EXPECT_FALSE(SwitchProfile(42162)) << "no profile 1";
  EXPECT_FALSE(SwitchProfile(42159));
}

TEST_F(ProfilesTest, DamagedProfileListReadsSafely) {
  WriteGlobalDword("NumProfiles", 2);
  WriteGlobalString("ProfName0", "Kept");
  const CProfileManager manager;
  EXPECT_EQ(RowNames(manager), QStringList({"Default", "Kept", "N/A"}));
  WriteGlobalDword("NumProfiles", 0xFFFFFFFF);
  EXPECT_EQ(ReadProfileList().size(), 0);
}

class FavoritesTest : public ProfilesTest {};

TEST_F(FavoritesTest, DefaultsComeFirstAndStoredOnesAreFiltered) {
  LoadFavorites();
  ASSERT_EQ(favorites.size(), 4);
  const char* const names[] = {"My Documents", "Programs", "Startup", "Windows"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(favorites[i].strName, QString::fromLatin1(names[i]));
    EXPECT_EQ(favorites[i].dwType, 2u);
  }
  QString programs;
  ASSERT_TRUE(plat::SHGetSpecialFolderPath(plat::CSIDL_PROGRAMS, &programs, true));
  LoadFavorites();
  EXPECT_EQ(favorites[1].strPath, programs);

  struct {
    DWORD type;
    const char* name;
    const char* path;
  } const stored[] = {
      {2, "", "\\Temp"},       // shown with its path
      {4, "Zip", "\\a.zip"},   // kept
      {3, "Bad type", "\\x"},  // skipped
      {11, "Empty", ""},       // skipped
      {11, "Key", "HKLM\\Software"},
  };
  WriteProfileDword("NumFavorites", 5);
  for (int n = 0; n < 5; ++n) {
    WriteProfileDword(QStringLiteral("FavT%1").arg(n), stored[n].type);
    WriteProfileString(QStringLiteral("FavN%1").arg(n), stored[n].name);
    WriteProfileString(QStringLiteral("FavSD%1").arg(n), stored[n].path);
    WriteProfileDword(QStringLiteral("FavD%1").arg(n), 100 + n);
  }
  WriteProfileDword("FavCIDxxx4", 77);
  WriteProfileDword("FavFS", 0);
  LoadFavorites();
  ASSERT_EQ(favorites.size(), 3);
  EXPECT_EQ(favorites[0].strName, QStringLiteral("\\Temp"));
  EXPECT_EQ(favorites[0].strPath, QStringLiteral("\\Temp"));
  EXPECT_EQ(favorites[1].strName, QStringLiteral("Zip"));
  EXPECT_EQ(favorites[1].dwType, 4u);
  EXPECT_EQ(favorites[2].dwData, 104u);
  EXPECT_EQ(favorites[2].dwCid, 77u);

  WriteProfileDword("FavFS", 1);
  LoadFavorites();
  EXPECT_EQ(favorites.size(), 7);
  EXPECT_EQ(favorites[4].strName, QStringLiteral("\\Temp"));
}

}  // namespace
