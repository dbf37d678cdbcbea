// The folder tree on a real temporary root and hive: the tree filter, the expand buttons,
// lazy filling and refilling, the order of nodes, selection with its stored location and
// history, and the restore of a stored location. Every model is watched by
// QAbstractItemModelTester.
#include <QAbstractItemModelTester>
#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "browse/folder_tree.h"
#include "browse/tree_builder.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "platform/registry_hive.h"
#include "registry/registry_access.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

WIN32_FIND_DATAW Find(const QString& name, DWORD attributes) {
  WIN32_FIND_DATAW data{};
  data.dwFileAttributes = attributes;
  for (int i = 0; i < name.size() && i < MAX_PATH - 1; ++i) data.cFileName[i] = name[i].unicode();
  return data;
}

class TreeFilterTest : public ::testing::Test {
 protected:
  void TearDown() override { settings = saved_; }
  CSettings saved_ = settings;
};

TEST_F(TreeFilterTest, FilterCases) {
  constexpr DWORD kDir = FILE_ATTRIBUTE_DIRECTORY;
  struct CCase {
    const char* name;
    DWORD attributes;
    DWORD showFiles, showHidden, showSystem, showInRom, showRO, showZip;
    bool shown;
  } cases[] = {
      // A zip archive is shown first, whatever hides it otherwise.
      {"a.zip", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 0, 0, 0, 1, 1, 1, true},
      {"A.ZIP", FILE_ATTRIBUTE_READONLY, 0, 1, 1, 1, 0, 1, true},
      // Without zip folders an archive is a file like any other.
      {"a.zip", 0, 0, 1, 1, 1, 1, 0, false},
      {"a.zip", FILE_ATTRIBUTE_HIDDEN, 1, 0, 1, 1, 1, 0, false},
      {"a.zip", 0, 1, 1, 1, 1, 1, 0, true},
      // Files need MainTreeShowFiles.
      {"a.txt", 0, 0, 1, 1, 1, 1, 1, false},
      {"a.txt", 0, 1, 1, 1, 1, 1, 1, true},
      // Folders pass unless an attribute option hides them.
      {"dir", kDir, 0, 1, 1, 1, 1, 1, true},
      {"dir", kDir | FILE_ATTRIBUTE_HIDDEN, 0, 0, 1, 1, 1, 1, false},
      {"dir", kDir | FILE_ATTRIBUTE_SYSTEM, 0, 1, 0, 1, 1, 1, false},
      {"dir", kDir | FILE_ATTRIBUTE_INROM, 0, 1, 1, 0, 1, 1, false},
      {"dir", kDir | FILE_ATTRIBUTE_READONLY, 0, 1, 1, 1, 0, 1, false},
      {"dir", kDir | FILE_ATTRIBUTE_READONLY, 0, 1, 1, 1, 1, 1, true},
      {"a.txt", FILE_ATTRIBUTE_SYSTEM, 1, 1, 0, 1, 1, 1, false},
  };
  for (const CCase& c : cases) {
    settings.MainTreeShowFiles = c.showFiles;
    settings.MainTreeShowHidden = c.showHidden;
    settings.MainTreeShowSystem = c.showSystem;
    settings.MainTreeShowInRom = c.showInRom;
    settings.MainTreeShowRO = c.showRO;
    settings.MainTreeShowZipFolder = c.showZip;
    EXPECT_EQ(tree::PassesTreeFilter(Find(c.name, c.attributes)), c.shown)
        << c.name << " attributes " << c.attributes;
  }
}

class FolderTreeTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    settings = CSettings();
    // The option set's defaults make the program's own folder in the root when its data
    // folder lies outside; the tests list the root without it.
    QDir(Host("\\.pinewood-browser")).removeRecursively();
  }
  void TearDown() override {
    tester_.reset();
    tree_.reset();
    settings = saved_;
    TempRootAndHive::TearDown();
  }
  // A built tree of panel A, watched by the model tester.
  CFolderTree& Tree(EPanelId ePanel = ePanel_A) {
    tree_ = std::make_unique<CFolderTree>(ePanel);
    tester_ = std::make_unique<QAbstractItemModelTester>(
        tree_->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    tree_->Build();
    return *tree_;
  }
  CFolderTreeModel& Model() { return *tree_->Model(); }
  QModelIndex Child(const QModelIndex& parent, const QString& name) {
    const QModelIndex found = Model().FindChild(parent, eEntry_Folder, name);
    if (found.isValid()) return found;
    for (int i = 0; i < Model().rowCount(parent); ++i) {
      const QModelIndex index = Model().index(i, 0, parent);
      if (Model().Node(index)->name.compare(name, Qt::CaseInsensitive) == 0) return index;
    }
    return {};
  }
  QStringList Labels(const QModelIndex& parent) {
    QStringList labels;
    for (int i = 0; i < Model().rowCount(parent); ++i)
      labels << Model().index(i, 0, parent).data().toString();
    return labels;
  }
  QString CurrentPath() { return Model().Node(tree_->Current())->path; }

  CSettings saved_ = settings;
  std::unique_ptr<CFolderTree> tree_;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(FolderTreeTest, TopNodesAndTheRegistryRootsInTreeOrder) {
  MakeFolder("\\Docs");
  CFolderTree& tree = Tree();
  ASSERT_EQ(Model().rowCount(), 3);
  EXPECT_EQ(Labels({}), QStringList({"My Device", "My Device Registry", "Recycle Bin"}));
  EXPECT_EQ(Model().DeviceRootIndex().data(CFolderTreeModel::eRole_Kind).toUInt(), 2u);
  EXPECT_EQ(Model().RegistryTopIndex().data(CFolderTreeModel::eRole_Kind).toUInt(), 9u);
  EXPECT_EQ(Model().RecycleBinIndex().data(CFolderTreeModel::eRole_Kind).toUInt(), 14u);
  EXPECT_EQ(Model().RegistryTopIndex().data(CFolderTreeModel::eRole_IconIndex).toInt(), 24);
  EXPECT_EQ(Model().RecycleBinIndex().data(CFolderTreeModel::eRole_IconIndex).toInt(), 37);
  EXPECT_FALSE(Model().hasChildren(Model().RecycleBinIndex()));
  // The device root is filled and selected at once.
  EXPECT_TRUE(Model().DeviceRootIndex().data(CFolderTreeModel::eRole_Filled).toBool());
  EXPECT_EQ(Labels(Model().DeviceRootIndex()), QStringList({"Docs"}));
  EXPECT_EQ(tree.Current(), Model().DeviceRootIndex());

  EXPECT_EQ(Labels(Model().RegistryTopIndex()),
            QStringList({"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
                         "HKEY_USERS"}));
}

TEST_F(FolderTreeTest, DeviceNameLabelsTheRootAndTheRegistryAndRootKeysShowButtonsBySubkeys) {
  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Ident", "Name", "Pocket"));
  Tree();
  EXPECT_EQ(Labels({}), QStringList({"Pocket", "Pocket Registry", "Recycle Bin"}));
  // The fresh hive has only the key written above: HKLM has a subkey, the others none.
  const QModelIndex top = Model().RegistryTopIndex();
  EXPECT_TRUE(Model().hasChildren(Model().RootKeyIndex(HKEY_LOCAL_MACHINE)));
  EXPECT_FALSE(Model().hasChildren(Model().RootKeyIndex(HKEY_USERS)));
  EXPECT_FALSE(Model().RootKeyIndex(0x12345678).isValid());
  EXPECT_EQ(Model().rowCount(top), 4);
}

TEST_F(FolderTreeTest, ExpandButtonsFollowTheTreeFilter) {
  settings.MainTreeShowFiles = 0;
  settings.MainTreeShowZipFolder = 1;
  settings.MainTreeShowHidden = 0;
  MakeFile("\\OnlyZip\\.hidden.zip", "x");  // hidden (dot name), and still shown
  MakeFile("\\OnlyHidden\\.secret", "x");
  MakeFolder("\\OnlyHidden\\.cache");
  MakeFile("\\OnlyFiles\\a.txt", "x");
  MakeFolder("\\WithFolder\\Sub");
  MakeFolder("\\Empty");
  MakeFolder("\\.HiddenTop\\Sub");
  Tree();
  const QModelIndex root = Model().DeviceRootIndex();
  EXPECT_EQ(Labels(root), QStringList({"Empty", "OnlyFiles", "OnlyHidden", "OnlyZip",
                                       "WithFolder"}));
  EXPECT_TRUE(Model().hasChildren(Child(root, "OnlyZip")));
  EXPECT_FALSE(Model().hasChildren(Child(root, "OnlyHidden")));
  EXPECT_FALSE(Model().hasChildren(Child(root, "OnlyFiles")));
  EXPECT_FALSE(Model().hasChildren(Child(root, "Empty")));
  EXPECT_TRUE(Model().hasChildren(Child(root, "WithFolder")));

  const QModelIndex onlyZip = Child(root, "OnlyZip");
  Model().Expand(onlyZip);
  ASSERT_EQ(Model().rowCount(onlyZip), 1);
  const QModelIndex archive = Model().index(0, 0, onlyZip);
  EXPECT_EQ(archive.data(CFolderTreeModel::eRole_Kind).toUInt(), 5u);
  EXPECT_EQ(archive.data().toString(), ".hidden.zip");
  EXPECT_EQ(archive.data(CFolderTreeModel::eRole_IconIndex).toInt(), eIcon_ZipArchive);
  EXPECT_EQ(archive.data(CFolderTreeModel::eRole_Path).toString(), "\\OnlyZip\\.hidden.zip");
  // Without anything to list archives' folders, an archive has no button.
  EXPECT_FALSE(Model().hasChildren(archive));

  // With hidden items shown the hidden-only folder gets its button (files still hidden).
  settings.MainTreeShowHidden = 1;
  Model().Build();
  EXPECT_TRUE(Model().hasChildren(Child(Model().DeviceRootIndex(), "OnlyHidden")));
  EXPECT_FALSE(Model().hasChildren(Child(Model().DeviceRootIndex(), "OnlyFiles")));
}

TEST_F(FolderTreeTest, TheRecycleBinFolderIsLeftOutAndDoesNotMakeAButton) {
  settings.RecycleBinPath = "\\Holder\\BIN";
  MakeFolder("\\Holder\\bin\\Inside");
  MakeFolder("\\bin\\Inside");  // only the configured full path is left out
  Tree();
  const QModelIndex root = Model().DeviceRootIndex();
  EXPECT_EQ(Labels(root), QStringList({"bin", "Holder"}));
  EXPECT_TRUE(Model().hasChildren(Child(root, "bin")));
  const QModelIndex holder = Child(root, "Holder");
  EXPECT_FALSE(Model().hasChildren(holder));
  Model().Expand(holder);
  EXPECT_EQ(Model().rowCount(holder), 0);
}

TEST_F(FolderTreeTest, ControlCharactersInFolderNamesShowAsVisibleSymbols) {
  MakeFolder("\\line\nbreak\there");
  Tree();
  EXPECT_EQ(Labels(Model().DeviceRootIndex()),
            QStringList({QString::fromUtf16(u"line\u240Abreak\u2409here")}));
}

TEST_F(FolderTreeTest, ChildrenAreReadOnFirstExpansionOnlyAndSorted) {
  settings.MainTreeShowFiles = 1;
  MakeFolder("\\Docs\\beta");
  MakeFolder("\\Docs\\Alpha");
  MakeFile("\\Docs\\aaa.txt");
  MakeFile("\\Docs\\Zed.zip");
  MakeFile("\\Docs\\README");
  Tree();
  const QModelIndex docs = Child(Model().DeviceRootIndex(), "Docs");
  // Not read yet: a button and no rows.
  EXPECT_TRUE(Model().hasChildren(docs));
  EXPECT_EQ(Model().rowCount(docs), 0);
  MakeFolder("\\Docs\\gamma");  // made before the first expansion: it is seen

  tree_->OnExpanded(docs);
  // Folders first, then the rest, each by label ignoring case.
  EXPECT_EQ(Labels(docs), QStringList({"Alpha", "beta", "gamma", "aaa.txt", "README",
                                       "Zed.zip"}));
  EXPECT_TRUE(docs.data(CFolderTreeModel::eRole_Filled).toBool());
  const QModelIndex readme = Child(docs, "README");
  EXPECT_EQ(readme.data(CFolderTreeModel::eRole_Kind).toUInt(), 4u);
  EXPECT_EQ(readme.data(CFolderTreeModel::eRole_IconIndex).toInt(), eIcon_PlainFile);

  // Filled once: a later folder shows up only after a collapse and a new expansion.
  MakeFolder("\\Docs\\delta");
  Model().Expand(docs);
  EXPECT_EQ(Model().rowCount(docs), 6);
  Model().Collapse(docs);
  EXPECT_EQ(Model().rowCount(docs), 0);
  EXPECT_TRUE(Model().hasChildren(docs));
  EXPECT_FALSE(docs.data(CFolderTreeModel::eRole_Filled).toBool());
  Model().Expand(docs);
  EXPECT_EQ(Labels(docs).mid(0, 4), QStringList({"Alpha", "beta", "delta", "gamma"}));

  // Case-sensitive order when MainTreeIgnoreCase is 0, and hidden extensions.
  settings.MainTreeIgnoreCase = 0;
  settings.MainTreeShowExt = 0;
  Model().Refresh(docs);
  EXPECT_EQ(Labels(docs), QStringList({"Alpha", "beta", "delta", "gamma", "README", "Zed",
                                       "aaa"}));
}

TEST_F(FolderTreeTest, AFolderThatTurnsOutEmptyLosesItsButton) {
  MakeFolder("\\Docs\\Sub");
  Tree();
  const QModelIndex docs = Child(Model().DeviceRootIndex(), "Docs");
  ASSERT_TRUE(Model().hasChildren(docs));
  ASSERT_TRUE(QDir(Host("\\Docs\\Sub")).removeRecursively());
  Model().Expand(docs);
  EXPECT_FALSE(Model().hasChildren(docs));
  EXPECT_TRUE(docs.data(CFolderTreeModel::eRole_Filled).toBool());
  // A folder that cannot be read (it went away) gets no children either.
  MakeFolder("\\Gone\\Sub");
  Model().Build();
  const QModelIndex gone = Child(Model().DeviceRootIndex(), "Gone");
  ASSERT_TRUE(QDir(Host("\\Gone")).removeRecursively());
  Model().Expand(gone);
  EXPECT_FALSE(Model().hasChildren(gone));
}

TEST_F(FolderTreeTest, RegistryKeysAreFilledOnExpansionWithTheirPaths) {
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\b\\Deep"), eCreateKey_Created);
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\A"), eCreateKey_Created);
  Tree();
  const QModelIndex hklm = Model().RootKeyIndex(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(Model().rowCount(hklm), 0);
  Model().Expand(hklm);
  const QModelIndex software = Model().FindChild(hklm, eEntry_RegKey, "SOFTWARE");
  ASSERT_TRUE(software.isValid());
  EXPECT_EQ(software.data(CFolderTreeModel::eRole_Path).toString(), "\\Software");
  Model().Expand(software);
  EXPECT_EQ(Labels(software), QStringList({"A", "b"}));
  EXPECT_FALSE(Model().hasChildren(Model().index(0, 0, software)));
  const QModelIndex b = Model().index(1, 0, software);
  EXPECT_TRUE(Model().hasChildren(b));
  EXPECT_EQ(b.data(CFolderTreeModel::eRole_Path).toString(), "\\Software\\b");
  EXPECT_EQ(b.data(CFolderTreeModel::eRole_Root).toUInt(), HKEY_LOCAL_MACHINE);
  // Keys keep their children when collapsed.
  Model().Collapse(software);
  EXPECT_EQ(Model().rowCount(software), 2);
}

TEST_F(FolderTreeTest, SelectionWritesTheStoredLocationOfItsPanel) {
  MakeFolder("\\Docs\\Sub");
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\X"), eCreateKey_Created);
  CFolderTree& tree = Tree(ePanel_B);
  QSignalSpy shown(&tree, &CFolderTree::showInList);

  struct CCase {
    std::function<bool()> select;
    DWORD kind;
    const char* path;
    DWORD ordinal;
    DWORD listSource;
  } cases[] = {
      {[&] { return tree.SelectFolder("\\Docs\\Sub"); }, 2, "\\Docs\\Sub", 0, 2},
      {[&] { return tree.SelectRegistryTop(); }, 9, "", 0, 3},
      {[&] { return tree.SelectRootKey(HKEY_CURRENT_USER); }, 10, "", 3, 3},
      {[&] { return tree.SelectKey(HKEY_CURRENT_USER, "Software\\x"); }, 11, "\\Software\\X", 3,
       3},
      {[&] { return tree.SelectFolder("\\"); }, 2, "\\", 0, 2},
  };
  for (const CCase& c : cases) {
    shown.clear();
    ASSERT_TRUE(c.select()) << c.path;
    EXPECT_EQ(settings.MainTreeBCacheType, c.kind) << c.path;
    EXPECT_EQ(settings.MainTreeBCacheStr1, QString(c.path));
    EXPECT_EQ(settings.MainTreeBHKey, c.ordinal) << c.path;
    DWORD dwStoredKind = 0;
    QString strStoredPath;
    EXPECT_TRUE(ReadProfileDword("MainTreeBCacheType", 0, &dwStoredKind));
    EXPECT_TRUE(ReadProfileString("MainTreeBCacheStr1", "?", &strStoredPath));
    EXPECT_EQ(dwStoredKind, c.kind);
    EXPECT_EQ(strStoredPath, QString(c.path));
    ASSERT_EQ(shown.count(), 1) << c.path;
    const CTreeTarget target = shown.at(0).at(1).value<CTreeTarget>();
    EXPECT_EQ(target.listSource, c.listSource) << c.path;
    EXPECT_EQ(target.location.kind, c.kind) << c.path;
  }
  // Panel A's keys were never touched.
  EXPECT_EQ(settings.MainTreeACacheType, 2u);
  EXPECT_EQ(settings.MainTreeACacheStr1, "\\");

  // The recycle bin goes to the list as its own source and is not a stored location.
  shown.clear();
  tree.SelectionModel()->setCurrentIndex(Model().RecycleBinIndex(),
                                         QItemSelectionModel::ClearAndSelect);
  ASSERT_EQ(shown.count(), 1);
  EXPECT_EQ(shown.at(0).at(1).value<CTreeTarget>().listSource, DWORD(ePanelSrc_RecycleBin));
  EXPECT_EQ(settings.MainTreeBCacheType, 2u);

  // Not synchronised: the list is not told.
  tree.SetSyncWithList(false);
  shown.clear();
  tree.SelectFolder("\\Docs");
  EXPECT_EQ(shown.count(), 0);
  EXPECT_EQ(settings.MainTreeBCacheStr1, "\\Docs");
}

TEST_F(FolderTreeTest, StoredLocationsAreRestoredAndMissingPartsStopAtTheDeepestNode) {
  MakeFolder("\\Docs\\Sub\\Deeper");
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Vendor"), eCreateKey_Created);
  settings.RememberLastOpenedFolder = 1;
  struct CCase {
    DWORD kind;
    const char* path;
    DWORD ordinal;
    DWORD currentKind;
    const char* currentPath;
  } cases[] = {
      {2, "\\docs\\SUB\\Deeper", 0, 2, "\\Docs\\Sub\\Deeper"},
      {2, "\\Docs\\Gone\\Deeper", 0, 2, "\\Docs"},
      {11, "\\Software\\Vendor", 2, 11, "\\Software\\Vendor"},
      {11, "Software\\Missing", 2, 11, "\\Software"},
      {10, "", 2, 10, ""},
      {11, "\\Software", 9, 9, ""},  // unknown root ordinal: the registry top
      {9, "", 0, 9, ""},
      {7, "\\Docs", 0, 2, "\\Docs"},  // an unknown kind is read as a folder
  };
  for (const CCase& c : cases) {
    settings.MainTreeACacheType = c.kind;
    settings.MainTreeACacheStr1 = c.path;
    settings.MainTreeAHKey = c.ordinal;
    CFolderTree& tree = Tree();
    tree.RestoreLocation("\\");
    const CTreeNode* pNode = Model().Node(tree.Current());
    ASSERT_TRUE(pNode) << c.path;
    EXPECT_EQ(pNode->kind, c.currentKind) << c.path;
    EXPECT_EQ(pNode->path, QString(c.currentPath)) << c.path;
    // Restoring leaves the stored location as it was.
    EXPECT_EQ(settings.MainTreeACacheType, c.kind);
    EXPECT_EQ(settings.MainTreeACacheStr1, QString(c.path));
  }

  // Without RememberLastOpenedFolder the start folder is selected.
  settings.RememberLastOpenedFolder = 0;
  settings.MainTreeACacheType = 9;
  CFolderTree& tree = Tree();
  tree.RestoreLocation("\\Docs\\Sub");
  EXPECT_EQ(CurrentPath(), "\\Docs\\Sub");
}

TEST_F(FolderTreeTest, RestoredLocationIsWrittenAgainOnlyWhenTheUserMovesOn) {
  MakeFolder("\\Docs");
  MakeFolder("\\Music");
  ASSERT_TRUE(browse::StorePanelLocation(ePanel_A, CPanelLocation::FileSystem("\\Docs")));
  settings.RememberLastOpenedFolder = 1;
  CFolderTree& tree = Tree();
  // Build selected the device root without overwriting the stored folder.
  EXPECT_EQ(settings.MainTreeACacheStr1, "\\Docs");
  tree.RestoreLocation("\\");
  EXPECT_EQ(CurrentPath(), "\\Docs");
  tree.SelectFolder("\\Music");
  QString strStored;
  EXPECT_TRUE(ReadProfileString("MainTreeACacheStr1", "", &strStored));
  EXPECT_EQ(strStored, "\\Music");

  // The next start finds it.
  Tree().RestoreLocation("\\");
  EXPECT_EQ(CurrentPath(), "\\Music");
}

TEST_F(FolderTreeTest, HistoryRecordsSelectedFoldersAndBackForwardDoNotRecordAgain) {
  MakeFolder("\\A");
  MakeFolder("\\B");
  MakeFolder("\\C");
  CFolderTree& tree = Tree();
  tree.SelectFolder("\\A");
  tree.SelectFolder("\\B");
  tree.SelectRegistryTop();  // not a folder: not recorded
  tree.SelectFolder("\\C");
  // The device root selected by Build is the first entry.
  ASSERT_EQ(tree.History().Count(), 4);
  EXPECT_EQ(tree.History().Position(), 4);
  EXPECT_TRUE(tree.Back());
  EXPECT_EQ(CurrentPath(), "\\B");
  EXPECT_TRUE(tree.Back());
  EXPECT_EQ(CurrentPath(), "\\A");
  EXPECT_EQ(tree.History().Count(), 4);
  EXPECT_TRUE(tree.Forward());
  EXPECT_EQ(CurrentPath(), "\\B");
  EXPECT_EQ(tree.History().Position(), 3);
  // Selecting another folder from the middle drops the forward entries.
  tree.SelectFolder("\\A");
  EXPECT_EQ(tree.History().Count(), 4);
  EXPECT_FALSE(tree.Forward());
}

TEST_F(FolderTreeTest, CollapsingAboveTheSelectionSelectsTheCollapsedFolder) {
  MakeFolder("\\Docs\\Sub\\Deeper");
  CFolderTree& tree = Tree();
  ASSERT_TRUE(tree.SelectFolder("\\Docs\\Sub\\Deeper"));
  const QModelIndex docs = Child(Model().DeviceRootIndex(), "Docs");
  tree.OnCollapsed(docs);
  EXPECT_EQ(tree.Current(), docs);
  EXPECT_EQ(settings.MainTreeACacheStr1, "\\Docs");
  EXPECT_EQ(Model().rowCount(docs), 0);
  tree.OnExpanded(docs);
  EXPECT_EQ(Labels(docs), QStringList({"Sub"}));
}

TEST_F(FolderTreeTest, AChangedFolderFollowsTheDiskKeepingTheNodesThatStayed) {
  MakeFolder("\\Docs\\A\\Inner");
  MakeFolder("\\Docs\\B\\Deep");
  MakeFolder("\\Empty");
  CFolderTree& tree = Tree();
  ASSERT_TRUE(tree.SelectFolder("\\Docs\\B\\Deep"));
  const QModelIndex docs = Child(Model().DeviceRootIndex(), "Docs");
  const QModelIndex a = Child(docs, "A");
  Model().Expand(a);
  const CTreeNode* pA = Model().Node(a);

  ASSERT_TRUE(QDir(Host("\\Docs\\B")).removeRecursively());
  MakeFolder("\\Docs\\0first");
  MakeFolder("\\Docs\\C");
  tree.OnFolderChanged("\\Docs\\");
  EXPECT_EQ(Labels(docs), QStringList({"0first", "A", "C"}));
  EXPECT_EQ(Model().Node(Child(docs, "A")), pA);  // kept, with its children
  EXPECT_EQ(Labels(Child(docs, "A")), QStringList({"Inner"}));
  // The selected folder went away: its surviving ancestor that changed is selected.
  EXPECT_EQ(tree.Current(), docs);
  EXPECT_EQ(settings.MainTreeACacheStr1, "\\Docs");

  // An unfilled folder gets its button when something appears in it.
  const QModelIndex empty = Child(Model().DeviceRootIndex(), "Empty");
  EXPECT_FALSE(Model().hasChildren(empty));
  MakeFolder("\\Empty\\New");
  tree.OnFolderChanged("\\Empty");
  EXPECT_TRUE(Model().hasChildren(empty));
  tree.OnFolderChanged("\\Not\\In\\Tree");  // nothing to do
}

TEST_F(FolderTreeTest, AChangedKeyFollowsTheRegistry) {
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Old\\Deep"), eCreateKey_Created);
  CFolderTree& tree = Tree();
  ASSERT_TRUE(tree.SelectKey(HKEY_LOCAL_MACHINE, "\\Software\\Old\\Deep"));
  const QModelIndex software = Model().KeyIndex(HKEY_LOCAL_MACHINE, "Software");
  ASSERT_TRUE(software.isValid());
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\New"), eCreateKey_Created);
  ASSERT_TRUE(DeleteKey(HKEY_LOCAL_MACHINE, "Software", "Old"));
  tree.OnKeyChanged(HKEY_LOCAL_MACHINE, "\\Software");
  // "Tarvish" holds the program's options, which the selection above stored.
  EXPECT_EQ(Labels(software), QStringList({"New", "Tarvish"}));
  EXPECT_EQ(tree.Current(), software);
  EXPECT_EQ(settings.MainTreeACacheType, 11u);
  EXPECT_EQ(settings.MainTreeACacheStr1, "\\Software");

  const QModelIndex hkcu = Model().RootKeyIndex(HKEY_CURRENT_USER);
  EXPECT_FALSE(Model().hasChildren(hkcu));
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Made"), eCreateKey_Created);
  tree.OnKeyChanged(HKEY_CURRENT_USER, "");
  EXPECT_TRUE(Model().hasChildren(hkcu));
  tree.OnKeyChanged(0x12345678, "Software");  // an unknown root changes nothing
}

TEST_F(FolderTreeTest, WithoutButtonsASelectedFolderIsExpandedAtOnce) {
  settings.MainTreeHasButtons = 0;
  MakeFolder("\\Docs\\Sub");
  CFolderTree& tree = Tree();
  QSignalSpy expand(&tree, &CFolderTree::expandRequested);
  tree.SelectFolder("\\Docs");
  const QModelIndex docs = Child(Model().DeviceRootIndex(), "Docs");
  EXPECT_EQ(Labels(docs), QStringList({"Sub"}));
  ASSERT_EQ(expand.count(), 1);
  EXPECT_EQ(expand.at(0).at(0).value<QModelIndex>(), docs);
}

TEST_F(FolderTreeTest, SingleExpandSelectsTheNodeThatWasExpanded) {
  settings.MainTreeSingleExpand = 1;
  MakeFolder("\\Docs\\Sub");
  CFolderTree& tree = Tree();
  const QModelIndex docs = Child(Model().DeviceRootIndex(), "Docs");
  tree.OnExpanded(docs);
  EXPECT_EQ(tree.Current(), docs);
  tree.SelectFolder("\\");
  tree.OnCollapsed(docs);
  EXPECT_EQ(tree.Current(), docs);
}

TEST_F(FolderTreeTest, ArchivesListTheirFoldersWhenALayerIsInstalled) {
  MakeFile("\\Docs\\pack.zip", "not read here");
  tree_ = std::make_unique<CFolderTree>(ePanel_A);
  tester_ = std::make_unique<QAbstractItemModelTester>(
      tree_->Model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  QStringList asked;
  tree_->Model()->SetArchiveFolders([&](const QString& archive, const QString& inner) {
    asked << archive + "|" + inner;
    if (inner.isEmpty()) return QStringList({"zeta", "Alpha"});
    return QStringList();
  });
  tree_->Build();
  const QModelIndex docs = Child(Model().DeviceRootIndex(), "Docs");
  Model().Expand(docs);
  const QModelIndex pack = Model().index(0, 0, docs);
  ASSERT_TRUE(Model().hasChildren(pack));
  Model().Expand(pack);
  EXPECT_EQ(Labels(pack), QStringList({"Alpha", "zeta"}));
  const QModelIndex alpha = Model().index(0, 0, pack);
  EXPECT_EQ(alpha.data(CFolderTreeModel::eRole_Kind).toUInt(), 7u);
  Model().Expand(alpha);
  EXPECT_FALSE(Model().hasChildren(alpha));
  EXPECT_EQ(asked, QStringList({"\\Docs\\pack.zip|", "\\Docs\\pack.zip|Alpha"}));
  const CTreeTarget target = tree_->TargetOf(alpha);
  EXPECT_EQ(target.listSource, DWORD(ePanelSrc_Zip));
  EXPECT_EQ(target.archivePath, "\\Docs\\pack.zip");
  EXPECT_EQ(target.innerPath, "Alpha");
  // The list shows the folder inside the archive, and the archive node the archive's top.
  EXPECT_EQ(target.listLocation.kind, DWORD(eEntry_ZipFolder));
  EXPECT_EQ(target.listLocation.path, "\\Docs\\pack.zip\\Alpha");
  EXPECT_EQ(tree_->TargetOf(pack).listLocation.kind, DWORD(eEntry_Zip));
  EXPECT_EQ(tree_->TargetOf(pack).listLocation.path, "\\Docs\\pack.zip");
}

}  // namespace
