// Unique names, name rules, path parts, rename, new folder and paste shortcut on a real
// temporary device root.
#include <gtest/gtest.h>

#include <vector>

#include "fileops/naming.h"
#include "fileops/rename.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "support/scripted_message_box.h"
#include "support/temp_root.h"
#include "support/view_recorder.h"

namespace {

using fileops::CViewChange;
using fileops::EViewChange;

using test::CViewRecorder;

class Naming : public test::TempRoot {
 protected:
  test::CScriptedMessageBox box_;
  CViewRecorder views_;
  fileops::CScopedViewListener listen_{&views_};
};

TEST_F(Naming, NewFolderNames) {
  MakeFolder("\\d");
  EXPECT_EQ(fileops::MakeNewFolderName("\\d"), "New Folder");
  MakeFolder("\\d\\New Folder (2)");
  EXPECT_EQ(fileops::MakeNewFolderName("\\d"), "New Folder");  // only (2): the first is free
  MakeFolder("\\d\\New Folder");
  EXPECT_EQ(fileops::MakeNewFolderName("\\d"), "New Folder (3)");
  MakeFile("\\d\\New Folder (3)");  // a file takes the name as well
  EXPECT_EQ(fileops::MakeNewFolderName("\\d\\"), "New Folder (4)");
  EXPECT_EQ(fileops::MakeNewFolderName("\\"), "New Folder");
}

TEST_F(Naming, CopyNamesInTheSameFolder) {
  MakeFile("\\d\\a.txt");
  EXPECT_EQ(fileops::MakeCopyName("a.txt", "\\d"), "Copy of a.txt");
  MakeFile("\\d\\Copy of a.txt");
  EXPECT_EQ(fileops::MakeCopyName("a.txt", "\\d"), "Copy (2) of a.txt");
  MakeFile("\\d\\Copy (2) of a.txt");
  EXPECT_EQ(fileops::MakeCopyName("a.txt", "\\d"), "Copy (3) of a.txt");
  // A name that comes with folders keeps none of them.
  EXPECT_EQ(fileops::MakeCopyName("\\x\\..\\b.txt", "\\d"), "Copy of b.txt");
  EXPECT_EQ(fileops::MakeCopyName("x/b.txt", "\\d"), "Copy of b.txt");
}

TEST_F(Naming, NameRulesAndPathParts) {
  EXPECT_EQ(fileops::RemoveInvalidNameChars("a:b'c"), "abc");
  EXPECT_EQ(fileops::RemoveInvalidNameChars("\\/:*?<>|\"'ok"), "ok");
  EXPECT_TRUE(fileops::IsValidItemName("New name.txt"));
  for (const char* pszBad : {"", ".", "..", "a\\b", "..\\x", "a/b", "a:b", "a?"}) {
    EXPECT_FALSE(fileops::IsValidItemName(pszBad)) << pszBad;
  }

  EXPECT_EQ(fileops::StripShortcutExtension("App.LNK"), "App");
  EXPECT_EQ(fileops::StripShortcutExtension(".lnk"), ".lnk");
  EXPECT_EQ(fileops::StripShortcutExtension("a.lnk.txt"), "a.lnk.txt");

  struct PathCase {
    const char* pszPath;
    const char* pszName;
    const char* pszFolder;
    const char* pszExt;
    const char* pszNoExt;
  };
  const PathCase cases[] = {
      {"\\Docs\\a.b.txt", "a.b.txt", "\\Docs", ".txt", "\\Docs\\a.b"},
      {"\\a.txt", "a.txt", "\\", ".txt", "\\a"},
      {"\\Docs\\", "", "\\Docs", "", "\\Docs\\"},
      {"\\", "", "\\", "", "\\"},
      {"\\v1.2\\readme", "readme", "\\v1.2", "", "\\v1.2\\readme"},  // a dot of a folder
      {"name", "name", "", "", "name"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.pszPath);
    EXPECT_EQ(fileops::PathNamePart(c.pszPath), c.pszName);
    EXPECT_EQ(fileops::PathFolderPart(c.pszPath), c.pszFolder);
    EXPECT_EQ(fileops::PathExtension(c.pszPath), c.pszExt);
    EXPECT_EQ(fileops::PathWithoutExtension(c.pszPath), c.pszNoExt);
  }

  EXPECT_TRUE(fileops::IsSameFolder("\\Docs\\a.txt", "\\DOCS\\"));
  EXPECT_TRUE(fileops::IsSameFolder("\\a.txt", "\\"));
  EXPECT_FALSE(fileops::IsSameFolder("\\Docs\\Sub\\a.txt", "\\Docs"));
}

TEST_F(Naming, TypedNameCheckShowsTheInvalidNameBox) {
  EXPECT_TRUE(fileops::CheckTypedName("fine.txt"));
  EXPECT_TRUE(box_.Calls().empty());
  EXPECT_FALSE(fileops::CheckTypedName("a:b"));
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strTitle, "Invalid file name");
  EXPECT_EQ(box_.Calls()[0].strHeader, "Invalid file name characters");
  EXPECT_EQ(box_.Calls()[0].strText,
            "A file name cannot contain any of the following characters:\n\n/\\:*?\"<>|");
}

TEST_F(Naming, RenameFileAndFolder) {
  MakeFile("\\d\\Notes.txt", "n");
  MakeFolder("\\d\\Sub");

  EXPECT_TRUE(fileops::RenameFile("\\d\\Notes.txt", "\\d\\Notes.txt"));  // the same path
  EXPECT_TRUE(views_.changes.empty());

  // A change of case only is carried out.
  EXPECT_TRUE(fileops::RenameFile("\\d\\Notes.txt", "\\d\\NOTES.TXT"));
  EXPECT_TRUE(ExistsHost("\\d\\NOTES.TXT"));
  EXPECT_FALSE(ExistsHost("\\d\\Notes.txt"));

  EXPECT_TRUE(fileops::RenameFolder("\\d\\Sub", "\\d\\Other"));
  EXPECT_TRUE(ExistsHost("\\d\\Other"));
  const std::vector<CViewChange> expected = {
      {EViewChange::eFileRenamed, "\\d\\Notes.txt", "\\d\\NOTES.TXT"},
      {EViewChange::eFolderRenamed, "\\d\\Sub", "\\d\\Other"}};
  EXPECT_EQ(views_.changes, expected);
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(Naming, RenameOntoAnExistingNameFailsWithTheSystemText) {
  MakeFile("\\d\\a.txt", "a");
  MakeFile("\\d\\b.txt", "b");
  EXPECT_FALSE(fileops::RenameFile("\\d\\a.txt", "\\d\\b.txt"));
  EXPECT_EQ(ReadHost("\\d\\a.txt"), "a");
  EXPECT_EQ(ReadHost("\\d\\b.txt"), "b");  // never replaced
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].nKind, eMsgKindError);
  EXPECT_EQ(box_.Calls()[0].strTitle, "Rename error");
  EXPECT_EQ(box_.Calls()[0].strHeader, "Error renaming file");
  EXPECT_EQ(box_.Calls()[0].strText,
            "Could not rename file \"\\d\\a.txt\" to \"\\d\\b.txt\". \n\nOperating system error "
            "message: \"Cannot create a file when that file already exists.\"");
  EXPECT_TRUE(views_.changes.empty());

  MakeFolder("\\d\\F");
  EXPECT_FALSE(fileops::RenameFolder("\\d\\F", "\\d\\a.txt"));
  ASSERT_EQ(box_.Calls().size(), 2u);
  EXPECT_EQ(box_.Calls()[1].strHeader, "Error renaming folder");
  EXPECT_TRUE(box_.Calls()[1].strText.startsWith("Could not rename folder \"\\d\\F\""));
}

TEST_F(Naming, RenameNeverLeavesItsFolder) {
  MakeFile("\\d\\a.txt", "a");
  MakeFolder("\\d\\Sub");
  MakeFolder("\\e");
  for (const char* pszNew : {"\\d\\Sub\\a.txt", "\\e\\a.txt", "\\d\\..\\a.txt", "\\d\\..",
                             "\\d\\", "\\d\\Sub/a.txt"}) {
    SCOPED_TRACE(pszNew);
    EXPECT_FALSE(fileops::RenameFile("\\d\\a.txt", pszNew));
    EXPECT_EQ(plat::GetLastError(), ERROR_INVALID_NAME);
  }
  EXPECT_EQ(ReadHost("\\d\\a.txt"), "a");
  EXPECT_FALSE(ExistsHost("\\d\\Sub\\a.txt"));
  EXPECT_FALSE(ExistsHost("\\e\\a.txt"));
  EXPECT_FALSE(ExistsHost("\\a.txt"));
  EXPECT_EQ(box_.Calls().size(), 6u);
  EXPECT_TRUE(views_.changes.empty());
}

TEST_F(Naming, CreateNewFolder) {
  MakeFolder("\\d\\New Folder");
  QString strPath;
  EXPECT_TRUE(fileops::CreateNewFolder("\\d", &strPath));
  EXPECT_EQ(strPath, "\\d\\New Folder (2)");
  EXPECT_TRUE(ExistsHost("\\d\\New Folder (2)"));
  const std::vector<CViewChange> expected = {{EViewChange::eFolderCreated, strPath, {}}};
  EXPECT_EQ(views_.changes, expected);

  EXPECT_FALSE(fileops::CreateNewFolder(""));
  EXPECT_TRUE(box_.Calls().empty());  // an empty folder fails without a box

  EXPECT_FALSE(fileops::CreateNewFolder("\\missing"));
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strText, "Error creating folder \\missing\\New Folder");
  EXPECT_EQ(box_.Calls()[0].strTitle, "Create folder");
  EXPECT_EQ(box_.Calls()[0].strHeader, "Create new folder");
}

TEST_F(Naming, PasteShortcut) {
  MakeFile("\\d\\a.txt");
  MakeFolder("\\s");
  QString strPath;
  ASSERT_TRUE(fileops::PasteShortcut("\\d\\a.txt", "\\s", &strPath));
  EXPECT_EQ(strPath, "\\s\\Shortcut to a.txt.lnk");
  EXPECT_EQ(ReadHost(strPath), "10#\"\\d\\a.txt\"");
  // A second paste gets a numbered name: the shortcut file of the first one is taken.
  ASSERT_TRUE(fileops::PasteShortcut("\\d\\a.txt", "\\s", &strPath));
  EXPECT_EQ(strPath, "\\s\\Shortcut (2) to a.txt.lnk");
  EXPECT_EQ(fileops::MakeShortcutName("\\d\\a.txt", "\\s"), "Shortcut (3) to a.txt");
  // A target given with "/" names its file only.
  ASSERT_TRUE(fileops::PasteShortcut("/d/a.txt", "\\s", &strPath));
  EXPECT_EQ(strPath, "\\s\\Shortcut (3) to a.txt.lnk");
  EXPECT_EQ(ReadHost(strPath), "10#\"\\d\\a.txt\"");
  const std::vector<CViewChange> expected = {
      {EViewChange::eItemAdded, "\\s\\Shortcut to a.txt.lnk", {}},
      {EViewChange::eItemAdded, "\\s\\Shortcut (2) to a.txt.lnk", {}},
      {EViewChange::eItemAdded, "\\s\\Shortcut (3) to a.txt.lnk", {}}};
  EXPECT_EQ(views_.changes, expected);

  EXPECT_FALSE(fileops::PasteShortcut("\\d\\a.txt", "\\missing"));  // fails without a box
  EXPECT_TRUE(box_.Calls().empty());
}

}  // namespace
