// The list source factory and the actions a source answers with: a kind nobody registered
// lists nothing, typed addresses go to the first kind that reads them, and a source registered
// from outside (as zip archives and search results will be) is reached from a folder listing
// and handed its edits without the panel knowing its kind.
#include <QStringList>

#include <gtest/gtest.h>

#include "browse/list_panel.h"
#include "browse/list_source_factory.h"
#include "support/panel_recorder.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// A listing of an archive: one value row, whose opening asks for an edit, and ".." back to
// the archive's folder.
class CArchiveListSource : public IListSource {
 public:
  explicit CArchiveListSource(const QString& strArchive) : archive_(strArchive) {}
  DWORD Kind() const override { return ePanelSrc_Zip; }
  QList<CListColumn> Columns() const override { return {{QStringLiteral("Name"), 100, 0}}; }
  void Fill(CListEntries* pEntries) override {
    pEntries->Add(std::make_unique<CListEntry>(eEntry_ZipParent, QStringLiteral(".."), nullptr));
    pEntries->Add(
        std::make_unique<CListEntry>(eEntry_ZipFile, QStringLiteral("inner.txt"), nullptr));
  }
  CPanelLocation Location() const override { return {eEntry_Zip, 0, archive_}; }
  QString Text(CListEntry& entry, int) override { return entry.displayName; }
  int IconIndex(CListEntry&, bool) override { return -1; }
  int Compare(const CListEntry&, const CListEntry&, int, bool) const override { return 0; }
  CListAction Activate(const CListEntry& entry) const override {
    if (entry.type == eEntry_ZipParent) return Up();
    return CListAction::EditValue(Location(), entry.displayName, 7);
  }
  bool CanGoUp() const override { return true; }
  CListAction Up() const override {
    return CListAction::Show(CPanelLocation::FileSystem(QStringLiteral("\\Docs")), false, true);
  }
  CListAction Refresh() const override { return CListAction::Show(Location(), true, false); }

 private:
  QString archive_;
};

class ListSourceFactoryTest : public test::TempRoot {
 protected:
  void TearDown() override {
    ListSources().Unregister(eEntry_Zip);
    TempRoot::TearDown();
  }
  static QStringList Names(const CListPanel& panel) {
    QStringList names;
    for (int i = 0; i < panel.rowCount(); ++i) names << panel.CellText(i, 0);
    return names;
  }
};

TEST_F(ListSourceFactoryTest, MakesOnlyRegisteredKindsAndReadsAddressesInOrder) {
  CListSourceFactory& factory = ListSources();
  EXPECT_TRUE(factory.IsRegistered(eEntry_Folder));  // the file system is always there
  EXPECT_EQ(factory.Make({eEntry_Zip, 0, "\\a.zip"}), nullptr);
  EXPECT_EQ(factory.Make({}), nullptr);
  EXPECT_EQ(factory.Make(CPanelLocation::FileSystem("\\a\\..\\b")), nullptr);  // refused path
  const auto folder = factory.Make(CPanelLocation::FileSystem("\\Docs\\"));
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->FolderPath(), "\\Docs");

  CPanelLocation location;
  EXPECT_FALSE(factory.ParseAddress("a.zip", &location));
  ASSERT_TRUE(factory.ParseAddress("/Docs", &location));
  EXPECT_EQ(location, CPanelLocation::FileSystem("/Docs"));
  // A kind registered later reads only what the earlier ones leave.
  CListSourceKind archives;
  archives.make = [](const CPanelLocation& where) {
    return std::make_unique<CArchiveListSource>(where.path);
  };
  archives.parseAddress = [](const QString& strText, CPanelLocation* pWhere) {
    *pWhere = {eEntry_Zip, 0, strText};
    return true;
  };
  factory.Register({eEntry_Zip}, archives);
  ASSERT_TRUE(factory.ParseAddress("\\x.zip", &location));
  EXPECT_EQ(location.kind, DWORD(eEntry_Folder));
  ASSERT_TRUE(factory.ParseAddress("x.zip", &location));
  EXPECT_EQ(location, CPanelLocation(eEntry_Zip, 0, "x.zip"));
  factory.Unregister(eEntry_Zip);
  EXPECT_FALSE(factory.ParseAddress("x.zip", &location));
  EXPECT_EQ(factory.Editor(eEntry_Folder), nullptr);
}

TEST_F(ListSourceFactoryTest, ARegisteredSourceIsOpenedFromAFolderAndGetsItsEdits) {
  MakeFile("\\Docs\\pack.zip", "x");
  test::CPanelRecorder observer;
  CListPanel panel(ePanel_A, &observer, {.bWorker = false});
  ASSERT_TRUE(panel.LoadFolder("\\Docs", true, true));
  ASSERT_EQ(Names(panel), QStringList({"..", "pack.zip"}));
  // Without a source of archives, opening one changes nothing, and neither does an action
  // for a kind nobody lists.
  panel.Open(1);
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  EXPECT_FALSE(panel.ShowLocation({eEntry_Zip, 0, "\\Docs\\pack.zip"}, true, true));
  EXPECT_FALSE(panel.Perform(CListAction::EditValue({eEntry_Zip, 0, "x"}, "v", 1)));

  QList<CListAction> edits;
  CListSourceKind archives;
  archives.make = [](const CPanelLocation& where) {
    return std::make_unique<CArchiveListSource>(where.path);
  };
  archives.edit = [&](CListPanel& target, const CListAction& action) {
    EXPECT_EQ(&target, &panel);
    edits << action;
  };
  ListSources().Register({eEntry_Zip}, archives);
  panel.Open(1);
  EXPECT_EQ(panel.SourceKind(), DWORD(ePanelSrc_Zip));
  EXPECT_EQ(panel.CurrentPath(), "");  // not a file-system folder
  EXPECT_EQ(Names(panel), QStringList({"..", "inner.txt"}));
  panel.Open(1);
  ASSERT_EQ(edits.size(), 1);
  EXPECT_EQ(edits[0].location.path, "\\Docs\\pack.zip");
  EXPECT_EQ(edits[0].strName, "inner.txt");
  EXPECT_EQ(edits[0].dwType, 7u);
  panel.Open(0);  // ".." of the archive: back to its folder
  EXPECT_EQ(panel.CurrentPath(), "\\Docs");
  EXPECT_EQ(observer.locations, QStringList({"\\Docs", "\\Docs\\pack.zip", "\\Docs"}));
  // The history walks back into the archive through the factory as well.
  ASSERT_TRUE(panel.Back());
  EXPECT_EQ(panel.SourceKind(), DWORD(ePanelSrc_Zip));
  EXPECT_TRUE(panel.Perform(CListAction::OpenFile("\\Docs\\pack.zip")));
  EXPECT_EQ(observer.opened, QStringList{"\\Docs\\pack.zip"});
}

}  // namespace
