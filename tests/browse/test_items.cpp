// Locations, entries and file items, the path helpers, the back/forward history and the keys a
// panel keeps its location and column widths under.
#include <QString>

#include <gtest/gtest.h>

#include "browse/file_item.h"
#include "browse/history.h"
#include "browse/icon_indices.h"
#include "core/location.h"
#include "browse/panel_keys.h"
#include "core/path_helpers.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "registry/registry_access.h"
#include "support/temp_root.h"

// Shows texts as text in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Every test leaves the option set as it found it.
class ItemsTest : public ::testing::Test {
 protected:
  void TearDown() override { settings = saved_; }
  CSettings saved_ = settings;
};

WIN32_FIND_DATAW Find(const QString& name, DWORD attributes, quint64 size = 0) {
  WIN32_FIND_DATAW data{};
  data.dwFileAttributes = attributes;
  data.nFileSizeHigh = DWORD(size >> 32);
  data.nFileSizeLow = DWORD(size);
  data.ftLastWriteTime = {0x11111111, 0x01D00000};
  for (int i = 0; i < name.size() && i < MAX_PATH - 1; ++i) data.cFileName[i] = name[i].unicode();
  return data;
}

TEST_F(ItemsTest, DisplayNameCutsOnlyShortExtensionsWhenExtensionsAreHidden) {
  struct {
    const char* name;
    const char* hidden;
  } const cases[] = {
      {"a.b.jpeg", "a.b"},          {"readme.txt", "readme"},
      {"notes.backup", "notes.backup"}, {".hidden", ".hidden"},
      {"archive", "archive"},       {"x.html", "x"},
      {"x.jpeg2", "x.jpeg2"},       {"a.", "a"},
  };
  settings.MainListShowExt = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(browse::ListDisplayName(c.name), QString(c.hidden)) << c.name;
    EXPECT_EQ(browse::DisplayName(c.name, true), QString(c.name)) << c.name;
  }
  settings.MainListShowExt = 1;
  EXPECT_EQ(browse::ListDisplayName("a.b.jpeg"), "a.b.jpeg");
  settings.MainTreeShowExt = 0;
  EXPECT_EQ(browse::TreeDisplayName("a.b.jpeg"), "a.b");
}

TEST_F(ItemsTest, FileSystemEntriesFromFindRecords) {
  settings.MainListShowExt = 0;
  struct {
    const char* name;
    DWORD attributes;
    DWORD type;
    const char* display;
  } const cases[] = {
      {"pics.old", FILE_ATTRIBUTE_DIRECTORY, eEntry_Folder, "pics.old"},  // folders keep it
      {"Backup.ZIP", FILE_ATTRIBUTE_ARCHIVE, eEntry_Zip, "Backup"},
      {"a.zip.txt", 0, eEntry_File, "a.zip"},
      {"notes", 0, eEntry_File, "notes"},
  };
  for (const auto& c : cases) {
    const auto entry = browse::MakeFileSystemEntry(Find(c.name, c.attributes));
    EXPECT_EQ(entry->type, c.type) << c.name;
    EXPECT_EQ(entry->displayName, QString(c.display)) << c.name;
    ASSERT_NE(entry->ItemAs<CFileItem>(), nullptr);
    EXPECT_EQ(entry->ItemAs<CFileItem>()->name, QString(c.name));  // the record keeps it all
  }
}

TEST_F(ItemsTest, FileItemKeepsSixtyFourBitSizesAndMarksFolderTotalsUnknown) {
  const CFileItem big(Find("disk.img", FILE_ATTRIBUTE_ARCHIVE, 0x100000005ull));
  EXPECT_EQ(big.size, 0x100000005ull);  // 4 GB + 5 bytes, not 5
  EXPECT_TRUE(big.HasSize());
  EXPECT_EQ(big.iconIndex, -1);
  EXPECT_TRUE(big.typeText.isEmpty());
  EXPECT_EQ(big.attributeText, ".a.......");
  EXPECT_EQ(big.lastWriteTime.dwLowDateTime, 0x11111111u);

  const CFileItem folder(Find("Docs", FILE_ATTRIBUTE_DIRECTORY, 0));
  EXPECT_EQ(folder.size, CFileItem::kSizeUnknown);
  EXPECT_FALSE(folder.HasSize());
  // A genuinely empty file is a known size of 0, not unknown.
  EXPECT_TRUE(CFileItem(Find("empty", 0, 0)).HasSize());

  const CRecycledItem recycled(Find("a.txt", 0, 3), "\\Docs\\a.txt");
  EXPECT_EQ(recycled.originalPath, "\\Docs\\a.txt");
  EXPECT_EQ(recycled.size, 3u);
}

TEST_F(ItemsTest, AttributeTexts) {
  struct {
    DWORD attributes;
    const char* text;
  } const cases[] = {
      {0, "........."},
      {FILE_ATTRIBUTE_DIRECTORY, "d........"},
      {0x112, "d...h..t."},  // a hidden storage card
      {FILE_ATTRIBUTE_INROM, "...e....i"},
      {0x20 | 0x800 | 0x01 | 0x04, ".ac..rs.."},
      {0x10 | 0x20 | 0x800 | 0x40 | 0x02 | 0x01 | 0x04 | 0x100, "dacehrsti"},
      {0x80 | 0x400 | 0x2000, "........."},  // flags without a letter
  };
  for (const auto& c : cases)
    EXPECT_EQ(browse::AttributeText(c.attributes), QString(c.text)) << std::hex << c.attributes;
}

TEST_F(ItemsTest, FolderTypeTextTellsStorageCards) {
  EXPECT_EQ(browse::FolderTypeText(0x112), "Storage Card");
  EXPECT_EQ(browse::FolderTypeText(0x110), "Storage Card");
  EXPECT_EQ(browse::FolderTypeText(0x10), "File folder");
  EXPECT_EQ(browse::FolderTypeText(0x12), "File folder");
}

TEST_F(ItemsTest, ParentEntryFollowsPersonalizeFolderIcons) {
  settings.PersonalizeFolderIcons = 1;
  auto entry = browse::MakeParentEntry();
  EXPECT_EQ(entry->type, eEntry_Parent);
  EXPECT_EQ(entry->displayName, "..");
  const CFileItem* item = entry->ItemAs<CFileItem>();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->iconIndex, eIcon_ParentFolder);
  EXPECT_EQ(item->attributeText, "d........");
  EXPECT_EQ(item->typeText, "Parent Folder");
  EXPECT_EQ(item->attributes, 0u);
  EXPECT_EQ(item->size, 0u);
  settings.PersonalizeFolderIcons = 0;
  EXPECT_EQ(browse::MakeParentEntry()->ItemAs<CFileItem>()->iconIndex, eIcon_Folder);
}

TEST_F(ItemsTest, ListingLeavesOutDotEntriesAndTheRecycleBinFolder) {
  settings.RecycleBinPath = "\\RecycleBin";
  EXPECT_FALSE(browse::IsListedInFolder("\\", Find(".", FILE_ATTRIBUTE_DIRECTORY)));
  EXPECT_FALSE(browse::IsListedInFolder("\\", Find("..", FILE_ATTRIBUTE_DIRECTORY)));
  EXPECT_FALSE(browse::IsListedInFolder("\\", Find("recyclebin", FILE_ATTRIBUTE_DIRECTORY)));
  EXPECT_TRUE(browse::IsListedInFolder("\\Docs", Find("RecycleBin", FILE_ATTRIBUTE_DIRECTORY)));
  EXPECT_TRUE(browse::IsListedInFolder("\\", Find("RecycleBin", FILE_ATTRIBUTE_ARCHIVE)));
  EXPECT_TRUE(browse::IsListedInFolder("\\", Find("Docs", FILE_ATTRIBUTE_DIRECTORY)));
}

TEST_F(ItemsTest, EntryListIndexAccessIsChecked) {
  CListEntries entries;
  entries.Add(browse::MakeFileSystemEntry(Find("a", 0)));
  entries.Add(browse::MakeFileSystemEntry(Find("b", 0)));
  EXPECT_EQ(entries.At(-1), nullptr);
  EXPECT_EQ(entries.At(2), nullptr);
  EXPECT_EQ(entries.ItemAt(2), nullptr);
  entries.Swap(0, 1);
  EXPECT_EQ(entries.At(0)->displayName, "b");
  entries.Swap(0, 5);  // ignored
  EXPECT_EQ(entries.Count(), 2);
  entries.Clear();
  EXPECT_EQ(entries.Count(), 0);
}

TEST(PathHelpers, Table) {
  struct {
    const char* path;
    const char* stripped;
    const char* parent;
    const char* folder;
    const char* last;
  } const cases[] = {
      {"\\", "\\", "", "\\", "\\"},
      {"", "", "", "", ""},
      {"\\a", "\\a", "\\", "\\", "a"},
      {"\\a\\", "\\a", "\\", "\\a\\", "a"},
      {"\\a\\b.txt", "\\a\\b.txt", "\\a", "\\a", "b.txt"},
      {"\\a\\b\\c", "\\a\\b\\c", "\\a\\b", "\\a\\b", "c"},
      {"ab", "ab", "", "", "ab"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(browse::StripTrailingBackslash(c.path), QString(c.stripped)) << c.path;
    EXPECT_EQ(browse::ParentPath(c.path), QString(c.parent)) << c.path;
    EXPECT_EQ(browse::FolderPart(c.path), QString(c.folder)) << c.path;
    EXPECT_EQ(browse::LastComponent(c.path), QString(c.last)) << c.path;
  }
  struct {
    const char* path;
    const char* component;
    const char* joined;
  } const appends[] = {
      {"\\", "a", "\\a"},
      {"\\a", "b", "\\a\\b"},
      {"\\a\\", "b", "\\a\\b"},
      {"\\a", "\\b", "\\a\\b"},
  };
  for (const auto& c : appends)
    EXPECT_EQ(browse::AppendPathComponent(c.path, c.component), QString(c.joined)) << c.path;
}

using ClassifyTest = test::TempRoot;

TEST_F(ClassifyTest, TypedPathsOnARealRoot) {
  MakeFolder("\\Docs");
  MakeFolder("\\odd.zip");
  MakeFile("\\Docs\\a.txt", "x");
  MakeFile("\\Docs\\Pack.ZIP", "x");
  MakeFile("\\Docs\\noext", "x");
  struct {
    const char* path;
    DWORD type;
  } const cases[] = {
      {"", eEntry_None},
      {"\\", eEntry_Folder},
      {"D", eEntry_None},
      {"Docs", eEntry_None},                 // not rooted
      {"\\\\server\\share", eEntry_NetworkPath},
      {"\\Missing", eEntry_None},
      {"\\Docs", eEntry_Folder},
      {"\\docs", eEntry_None},               // the host file system tells case apart
      {"\\odd.zip", eEntry_Folder},          // a folder whatever its name
      {"\\Docs\\Pack.ZIP", eEntry_Zip},
      {"\\Docs\\a.txt", eEntry_File},
      {"\\Docs\\noext", eEntry_File},
  };
  for (const auto& c : cases)
    EXPECT_EQ(browse::ClassifyTypedPath(c.path), c.type) << c.path;
}

CPanelLocation Fs(const char* path) { return CPanelLocation::FileSystem(path); }

TEST(Location, ConstructionAndEquality) {
  const CPanelLocation empty;
  EXPECT_EQ(empty.kind, 0u);
  EXPECT_EQ(empty.root, 0u);
  EXPECT_TRUE(empty.path.isEmpty());
  EXPECT_EQ(Fs("\\Docs").kind, DWORD(eEntry_Folder));
  EXPECT_EQ(CPanelLocation::Registry(HKEY_LOCAL_MACHINE, "").kind, DWORD(eEntry_RegRoot));
  EXPECT_EQ(CPanelLocation::Registry(HKEY_LOCAL_MACHINE, "Software").kind, DWORD(eEntry_RegKey));
  EXPECT_EQ(CPanelLocation::RegistryTop().kind, DWORD(eEntry_RegTop));

  EXPECT_EQ(Fs("\\Docs"), Fs("\\Docs"));
  EXPECT_NE(Fs("\\Docs"), Fs("\\docs"));  // exact comparison
  EXPECT_NE(CPanelLocation::Registry(HKEY_LOCAL_MACHINE, "A"),
            CPanelLocation::Registry(HKEY_CURRENT_USER, "A"));
  EXPECT_NE(CPanelLocation(eEntry_RegKey, 0, "A"), CPanelLocation(eEntry_Folder, 0, "A"));
}

TEST(Location, CanGoUpOnlyBelowTheFileSystemRoot) {
  EXPECT_FALSE(browse::CanGoUp(ePanelSrc_FileSystem, "\\"));
  EXPECT_FALSE(browse::CanGoUp(ePanelSrc_FileSystem, ""));
  EXPECT_TRUE(browse::CanGoUp(ePanelSrc_FileSystem, "\\Windows"));
  EXPECT_FALSE(browse::CanGoUp(ePanelSrc_Registry, "Software"));
  EXPECT_FALSE(browse::CanGoUp(ePanelSrc_Zip, "\\a.zip"));
}

class HistoryTest : public ::testing::Test {
 protected:
  // History [A, B, C] with the position at A.
  void SetUp() override {
    for (const char* p : {"\\A", "\\B", "\\C"}) history_.Record(Fs(p));
    CPanelLocation loaded;
    ASSERT_TRUE(history_.Back(&loaded));
    ASSERT_TRUE(history_.Back(&loaded));
    ASSERT_EQ(history_.Position(), 1);
  }
  CNavHistory history_;
};

TEST_F(HistoryTest, RecordingTheNextEntryMovesOntoItAndKeepsTheRest) {
  history_.Record(Fs("\\B"));
  EXPECT_EQ(history_.Position(), 2);
  EXPECT_EQ(history_.Count(), 3);
  EXPECT_EQ(history_.At(2), Fs("\\C"));
  EXPECT_TRUE(history_.CanGoForward());
}

TEST_F(HistoryTest, RecordingAnotherEntryDropsTheForwardEntries) {
  history_.Record(Fs("\\D"));
  EXPECT_EQ(history_.Position(), 2);
  ASSERT_EQ(history_.Count(), 2);
  EXPECT_EQ(history_.At(0), Fs("\\A"));
  EXPECT_EQ(history_.At(1), Fs("\\D"));
  EXPECT_FALSE(history_.CanGoForward());
  CPanelLocation loaded;
  ASSERT_TRUE(history_.Back(&loaded));
  EXPECT_EQ(loaded, Fs("\\A"));
  EXPECT_EQ(history_.Position(), 1);
  EXPECT_FALSE(history_.CanGoBack());
  EXPECT_FALSE(history_.Back(&loaded));  // nothing moves past the start
  EXPECT_EQ(history_.Position(), 1);
}

TEST_F(HistoryTest, RecordingTheSamePathInAnotherCaseIsANewEntry) {
  history_.Record(Fs("\\b"));
  EXPECT_EQ(history_.Count(), 2);
  EXPECT_EQ(history_.At(1), Fs("\\b"));
}

TEST(History, ForwardAndAppending) {
  CNavHistory history;
  EXPECT_EQ(history.Position(), 0);
  EXPECT_FALSE(history.CanGoBack());
  EXPECT_FALSE(history.CanGoForward());
  CPanelLocation loaded;
  EXPECT_FALSE(history.Forward(&loaded));
  history.Record(Fs("\\A"));
  history.Record(CPanelLocation::Registry(HKEY_LOCAL_MACHINE, "Software"));
  history.Record(Fs("\\A"));  // at the end: appended even when equal to an older entry
  EXPECT_EQ(history.Count(), 3);
  EXPECT_EQ(history.Position(), 3);
  ASSERT_TRUE(history.Back(&loaded));
  EXPECT_EQ(loaded, CPanelLocation::Registry(HKEY_LOCAL_MACHINE, "Software"));
  ASSERT_TRUE(history.Forward(&loaded));
  EXPECT_EQ(loaded, Fs("\\A"));
  EXPECT_EQ(history.Position(), 3);
  EXPECT_EQ(history.At(3), CPanelLocation());
}

TEST(PanelKeys, ColumnWidthKeys) {
  struct {
    EPanelId panel;
    DWORD source;
    int column;
    const char* key;
  } const cases[] = {
      {ePanel_A, ePanelSrc_FileSystem, 0, "PanelListA_FS_0"},
      {ePanel_B, ePanelSrc_RecycleBin, 4, "PanelListB_FS_4"},
      {ePanel_A, ePanelSrc_Registry, 2, "PanelListA_REG_2"},
      {ePanel_B, ePanelSrc_Zip, 1, "PanelListBZIP_1"},
      {ePanel_A, ePanelSrc_Empty, 0, "PanelListA0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(browse::ColumnWidthKey(c.panel, c.source, c.column), QString(c.key)) << c.key;
  EXPECT_EQ(browse::ColumnWidthTag(ePanel_A, ePanelSrc_FileSystem), "PanelListA_FS_");
}

class StoredLocationTest : public test::TempRootAndHive {
 protected:
  void TearDown() override {
    settings = saved_;
    TempRootAndHive::TearDown();
  }
  CSettings saved_ = settings;
};

TEST_F(StoredLocationTest, LocationsAreWrittenToTheProfileAndReadBack) {
  ASSERT_TRUE(browse::StorePanelLocation(ePanel_B, CPanelLocation::Registry(HKEY_CURRENT_USER,
                                                                            "Software\\X")));
  DWORD dwKind = 0, dwRoot = 0;
  QString strPath;
  EXPECT_TRUE(ReadProfileDword("MainTreeBCacheType", 0, &dwKind));
  EXPECT_TRUE(ReadProfileDword("MainTreeBHKey", 0, &dwRoot));
  EXPECT_TRUE(ReadProfileString("MainTreeBCacheStr1", "", &strPath));
  EXPECT_EQ(dwKind, 11u);
  EXPECT_EQ(dwRoot, OrdinalFromRoot(HKEY_CURRENT_USER));
  EXPECT_EQ(strPath, "Software\\X");
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_B),
            CPanelLocation::Registry(HKEY_CURRENT_USER, "Software\\X"));

  ASSERT_TRUE(browse::StorePanelLocation(ePanel_A, Fs("\\Docs")));
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_A), Fs("\\Docs"));
  EXPECT_EQ(settings.MainTreeAHKey, 0u);
  ASSERT_TRUE(browse::StorePanelLocation(ePanel_A, CPanelLocation::RegistryTop()));
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_A), CPanelLocation::RegistryTop());
}

TEST_F(StoredLocationTest, AnUnknownStoredKindIsReadAsAFolderKeepingThePath) {
  settings.MainTreeACacheType = 7;
  settings.MainTreeACacheStr1 = "\\Kept";
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_A), Fs("\\Kept"));
  // The defaults: the device root.
  settings = CSettings();
  EXPECT_EQ(browse::StoredPanelLocation(ePanel_B), Fs("\\"));
}

}  // namespace
