// Archives listed in a panel: folders first (those that only appear inside member names too),
// moving in and out, ".." at the top back to the folder of the archive, refused entries left
// out, and archives that cannot be opened.
#include <gtest/gtest.h>

#include <QStringList>

#include "browse/list_panel.h"
#include "browse/list_source_factory.h"
#include "support/scripted_message_box.h"
#include "tests/zip/zip_fixture.h"
#include "zip/list_source_zip.h"
#include "zip/zip_archive.h"

namespace {

class ZipListSourceTest : public test::ZipFixture {
 protected:
  void SetUp() override {
    ZipFixture::SetUp();
    zip::RegisterZipListSource();
    const CRun made = Python(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("b.txt", b"12345")
    z.writestr(zipfile.ZipInfo("docs/"), b"")
    z.writestr("docs/readme.txt", b"read me")
    z.writestr("implied/deep/x.bin", b"x")
    z.writestr("A.txt", b"")
    raw_entry(z, b"../evil.txt", b"e")
)PY",
                             {Host(MakeFolder("\\dir") + "\\a.zip")});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  }
  void TearDown() override {
    zip::CZipArchive::ForgetCached();
    ZipFixture::TearDown();
  }
  QStringList Rows() const {
    QStringList rows;
    for (int i = 0; i < panel_.rowCount(); ++i)
      rows << panel_.CellText(i, 0) + "|" + panel_.CellText(i, 1);
    return rows;
  }
  int RowNamed(const QString& name) const {
    for (int i = 0; i < panel_.rowCount(); ++i)
      if (panel_.CellText(i, 0) == name) return i;
    return -1;
  }

  test::CScriptedMessageBox box_;
  CListPanel panel_{ePanel_A, nullptr, {.bWorker = false}};
};

TEST_F(ZipListSourceTest, ListsFoldersFirstAndMovesInAndOut) {
  ASSERT_TRUE(panel_.ShowLocation(CPanelLocation(eEntry_Zip, 0, "\\dir\\a.zip"), true, true));
  EXPECT_EQ(panel_.SourceKind(), DWORD(ePanelSrc_Zip));
  EXPECT_EQ(Rows(), QStringList({"..|", "docs|", "implied|", "A.txt|0.00 KB", "b.txt|0.00 KB"}))
      << Rows().join(", ").toStdString();
  EXPECT_EQ(panel_.StatusText(), "Folders: 2, Files: 2");
  EXPECT_EQ(panel_.Source()->LocationText(), "\\dir\\a.zip");

  panel_.Open(RowNamed("implied"));
  EXPECT_EQ(panel_.Source()->LocationText(), "\\dir\\a.zip\\implied");
  EXPECT_EQ(Rows(), QStringList({"..|", "deep|"}));
  panel_.Open(RowNamed("deep"));
  EXPECT_EQ(Rows(), QStringList({"..|", "x.bin|0.00 KB"}));
  const fileops::CSelection selection = panel_.Source()->Selection(panel_.Entries(), {0, 1});
  ASSERT_EQ(selection.size(), 1u);
  EXPECT_EQ(selection[0].strPath, "\\dir\\a.zip\\implied\\deep\\x.bin");

  panel_.Open(0);
  panel_.Open(0);
  EXPECT_EQ(panel_.Source()->LocationText(), "\\dir\\a.zip");
  panel_.Open(0);  // ".." at the top leaves the archive
  EXPECT_EQ(panel_.SourceKind(), DWORD(ePanelSrc_FileSystem));
  EXPECT_EQ(panel_.CurrentPath(), "\\dir");

  ASSERT_TRUE(panel_.ShowLocation(zip::ZipLocation("\\dir\\a.zip", "docs"), true, true));
  EXPECT_EQ(Rows(), QStringList({"..|", "readme.txt|0.00 KB"}));
  EXPECT_FALSE(panel_.ShowLocation(zip::ZipLocation("\\dir\\a.zip", "nothing"), true, true));
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(ZipListSourceTest, AnArchiveThatCannotBeOpenedShowsTheBoxAndStays) {
  ASSERT_TRUE(panel_.LoadFolder("\\dir", true, true));
  MakeFile("\\dir\\bad.zip", "no archive");
  EXPECT_FALSE(panel_.ShowLocation(CPanelLocation(eEntry_Zip, 0, "\\dir\\bad.zip"), true, true));
  EXPECT_EQ(panel_.CurrentPath(), "\\dir");
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strText, "Unsuppored or invalid zip format.");
  EXPECT_EQ(box_.Calls()[0].strTitle, "Error");
  EXPECT_EQ(box_.Calls()[0].strHeader, "Unsupported zip format");
}

// Typed addresses: the archive and places inside it are the archive source's, a folder named
// like an archive and the folders around it stay the file system's.
TEST_F(ZipListSourceTest, TypedAddressesIntoAnArchive) {
  MakeFolder("\\dir\\folder.zip");
  const struct {
    const char* text;
    DWORD kind;
    const char* path;
  } kCases[] = {
      {"\\dir\\a.zip\\docs", eEntry_ZipFolder, "\\dir\\a.zip\\docs"},
      {"\\dir\\a.zip\\implied\\deep\\", eEntry_ZipFolder, "\\dir\\a.zip\\implied\\deep"},
      {"\\dir\\a.zip", eEntry_Zip, "\\dir\\a.zip"},
      {"\\dir", eEntry_Folder, "\\dir"},
      {"\\dir\\folder.zip", eEntry_Folder, "\\dir\\folder.zip"},
  };
  for (const auto& c : kCases) {
    CPanelLocation location;
    ASSERT_TRUE(ListSources().ParseAddress(c.text, &location)) << c.text;
    EXPECT_EQ(location.kind, c.kind) << c.text;
    EXPECT_EQ(location.path, c.path) << c.text;
  }
  CPanelLocation location;
  ASSERT_TRUE(ListSources().ParseAddress("\\dir\\a.zip\\docs", &location));
  ASSERT_TRUE(panel_.ShowLocation(location, true, true));
  EXPECT_EQ(Rows(), QStringList({"..|", "readme.txt|0.00 KB"}));
}

TEST_F(ZipListSourceTest, ArchiveFoldersForTheTree) {
  EXPECT_EQ(zip::ArchiveFolders("\\dir\\a.zip", ""), QStringList({"docs", "implied"}));
  EXPECT_EQ(zip::ArchiveFolders("\\dir\\a.zip", "implied"), QStringList({"deep"}));
}

}  // namespace
