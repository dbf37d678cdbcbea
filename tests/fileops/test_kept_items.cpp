// Items a file operation cannot handle inside a folder it walks: host names the device cannot
// name (a backslash in them, bytes that are not UTF-8) and links to folders. The operation
// goes on with everything else, but never reports success: a box names the item and says why,
// the item stays where it is, and so does its folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "fileops/copy_move.h"
#include "fileops/delete_items.h"
#include "fileops/recycle_bin.h"
#include "fileops/shredder.h"
#include "platform/find.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"

namespace {

using fileops::eSelFolder;

struct COperation {
  const char* name;
  std::function<int()> run;
  bool bCopies;  // the source stays whole: nothing of the folder is removed
};

class KeptItemsTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    settings.RecycleBinPath = "\\Bin";
    settings.UseRecycleBin = 1;
    MakeFolder("\\Bin");
    MakeFolder("\\Dst");
  }
  void TearDown() override {
    settings = saved_;
    RemoveTree("\\U");  // Qt cannot remove names that are not UTF-8
    TempRoot::TearDown();
  }
  void RemoveTree(const QString& strFolder) {
    std::error_code error;
    std::filesystem::remove_all(QFile::encodeName(Host(strFolder)).toStdString(), error);
    ASSERT_FALSE(error) << error.message();
  }
  // A file with a raw host name in the device folder strFolder.
  void MakeRawFile(const QString& strFolder, const QByteArray& raw) {
    const QByteArray path = QFile::encodeName(Host(strFolder)) + '/' + raw;
    FILE* file = ::fopen(path.constData(), "w");
    ASSERT_NE(file, nullptr);
    ::fputs("kept", file);
    ::fclose(file);
  }
  bool RawExists(const QString& strFolder, const QByteArray& raw) const {
    const QByteArray path = QFile::encodeName(Host(strFolder)) + '/' + raw;
    return ::access(path.constData(), F_OK) == 0;
  }
  // The texts of the boxes shown since the box count was nBefore, joined.
  QString BoxesSince(size_t nBefore) const {
    QString texts;
    const auto calls = box_.Calls();
    for (size_t i = nBefore; i < calls.size(); ++i) texts += calls[i].strText + u'\n';
    return texts;
  }
  std::vector<COperation> Operations() const {
    const fileops::CSelection selection{{eSelFolder, "\\U"}};
    return {
        {"copy", [=] { return fileops::CopyItems(selection, "\\Dst", false); }, true},
        {"move", [=] { return fileops::CopyItems(selection, "\\Dst", true); }, false},
        {"delete", [=] { return fileops::DeleteItemsCommand(selection); }, false},
        {"recycle", [=] { return fileops::RecycleItemsCommand(selection); }, false},
        {"shred", [=] { return fileops::ShredSelectionRun(selection); }, false},
    };
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
  CSettings saved_ = settings;
};

TEST_F(KeptItemsTest, ANameTheDeviceCannotNameFailsTheOperationAndIsNamedInItsBox) {
  for (const QByteArray& raw : {QByteArray("back\\slash.txt"), QByteArray("bad\xff\x01.txt")}) {
    const QString shown = plat::ShownHostName(raw);
    for (const COperation& operation : Operations()) {
      SCOPED_TRACE(std::string(operation.name) + " " + raw.toStdString());
      RemoveTree("\\U");
      RemoveTree("\\Dst");
      MakeFolder("\\Dst");
      MakeFile("\\U\\Sub\\good.txt", "good");
      MakeRawFile("\\U\\Sub", raw);
      const size_t nBefore = box_.Calls().size();

      EXPECT_NE(operation.run(), 0);
      EXPECT_TRUE(RawExists("\\U\\Sub", raw));
      const QString text = BoxesSince(nBefore);
      EXPECT_TRUE(text.contains(shown)) << text.toStdString();
      EXPECT_TRUE(text.contains("\\U\\Sub")) << text.toStdString();
      // Everything else is done: copied, or gone from the source (deleted, in the bin, moved);
      // delete for good and shred stop at the folder before removing anything of it.
      const bool bRemoves = std::string(operation.name) == "delete" ||
                            std::string(operation.name) == "shred";
      if (operation.bCopies || std::string(operation.name) == "move") {
        EXPECT_EQ(ReadHost("\\Dst\\U\\Sub\\good.txt"), "good");
      }
      if (!operation.bCopies && !bRemoves) {
        EXPECT_FALSE(ExistsHost("\\U\\Sub\\good.txt"));
      }
      if (bRemoves) {
        EXPECT_EQ(ReadHost("\\U\\Sub\\good.txt"), "good");
      }
    }
  }
  EXPECT_EQ(plat::ShownHostName("bad\xff\x01.txt"), "bad\\xFF\\x01.txt");
  EXPECT_EQ(plat::ShownHostName("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
  EXPECT_EQ(plat::ShownHostName("\xc0\xaf"), "\\xC0\\xAF");  // an overlong "/"
}

TEST_F(KeptItemsTest, AFolderKeptByALinkedFolderIsReportedByRecycleAndMove) {
  MakeFile("\\target\\t.txt", "target");
  for (const COperation& operation : Operations()) {
    if (std::string(operation.name) != "recycle" && std::string(operation.name) != "move")
      continue;
    SCOPED_TRACE(operation.name);
    MakeFile("\\U\\own.txt", "own");
    ASSERT_EQ(::symlink(QFile::encodeName(Host("\\target")).constData(),
                        QFile::encodeName(Host("\\U\\folder-link")).constData()),
              0);
    const size_t nBefore = box_.Calls().size();
    EXPECT_NE(operation.run(), 0);
    const QString text = BoxesSince(nBefore);
    EXPECT_TRUE(text.contains("folder-link") && text.contains("\\U")) << text.toStdString();
    EXPECT_TRUE(QFileInfo(Host("\\U\\folder-link")).isSymLink());
    EXPECT_FALSE(ExistsHost("\\U\\own.txt"));
    EXPECT_EQ(ReadHost("\\target\\t.txt"), "target");
    ASSERT_TRUE(QFile::remove(Host("\\U\\folder-link")));
    QDir(Host("\\Dst")).removeRecursively();
    MakeFolder("\\Dst");
  }
}

}  // namespace
