// Extract, test and compress on real archives: what lands where, the boxes and windows, refused
// entries that do not stop the run, damaged and encrypted entries that leave no file, cancel,
// and a full disk that leaves no partial output and the sources untouched.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/view_recorder.h"
#include "tests/zip/zip_fixture.h"
#include "zip/zip_archive.h"
#include "zip/zip_commands.h"

namespace {

using plat::CFaultInjector;
using plat::EFaultOp;

QByteArray Random(int size, quint32 seed) {
  QByteArray data(size, Qt::Uninitialized);
  QRandomGenerator random(seed);
  for (char& c : data) c = char(random.bounded(256));
  return data;
}

class ZipCommandsTest : public test::ZipFixture {
 protected:
  void TearDown() override {
    zip::CZipArchive::ForgetCached();
    ZipFixture::TearDown();
  }
  // Every file and folder below a device folder, "/" separated, sorted; folders end in "/".
  QStringList Tree(const QString& devicePath) const {
    QStringList items;
    const QString root = Host(devicePath);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      it.next();
      items << it.filePath().mid(root.size() + 1) + (it.fileInfo().isDir() ? "/" : "");
    }
    items.sort();
    return items;
  }
  void MakeArchive(const QString& script, const QString& devicePath) {
    const CRun made = Python(script, {Host(devicePath)});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
  }
  QStringList BoxTexts() const {
    QStringList texts;
    for (const auto& call : box_.Calls())
      texts << call.strTitle + ": " + call.strHeader + ": " + call.strText;
    return texts;
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
};

// A file of the user's in the way is replaced only when the user agrees (the question copy
// asks); "No to all" keeps every one of them.
TEST_F(ZipCommandsTest, ExtractAllMergesReplacesAndSkipsRefusedEntries) {
  MakeArchive(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr(zipfile.ZipInfo("docs/"), b"")
    z.writestr(zipfile.ZipInfo("docs/readme.txt", date_time=(2019, 5, 6, 7, 8, 10)), b"read me")
    z.writestr("implied/deep/x.bin", b"x" * 100000, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("empty/", b"")
    z.writestr("zero.txt", b"")
    raw_entry(z, b"../evil.txt", b"evil")
    raw_entry(z, b"link", b"/etc/passwd", external=(0o120777 << 16), system=3)
    z.writestr("last.txt", b"last")
)PY",
              "\\a.zip");
  MakeFile("\\out\\docs\\readme.txt", "old content");
  MakeFile("\\out\\docs\\other.txt", "kept");
  test::CViewRecorder views;
  fileops::CScopedViewListener listen(&views);
  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(zip::ExtractAll("\\a.zip", "\\out"), zip::eZipCmdFailed);
  EXPECT_EQ(Tree("\\out"),
            QStringList({"docs/", "docs/other.txt", "docs/readme.txt", "empty/", "implied/",
                         "implied/deep/", "implied/deep/x.bin", "last.txt", "zero.txt"}));
  EXPECT_EQ(ReadHost("\\out\\docs\\readme.txt"), "read me");
  EXPECT_EQ(ReadHost("\\out\\implied\\deep\\x.bin"), QByteArray(100000, 'x'));
  EXPECT_FALSE(ExistsHost("\\evil.txt"));
  EXPECT_EQ(
      BoxTexts(),
      QStringList(
          {"Replace Existing File: : Folder \"\\out\\docs\" already contains a file called "
           "\"readme.txt\".\r\n\r\nWould you like to replace the existing file?",
           "Extracting zip archive: Extracting files and folders from archive: ../evil.txt was not "
           "extracted: its name leads outside the folder it is extracted to.",
           "Extracting zip archive: Extracting files and folders from archive: link was not "
           "extracted: it is a symbolic link."}));
  const QDateTime local(QDate(2019, 5, 6), QTime(7, 8, 10));
  EXPECT_EQ(QFileInfo(Host("\\out\\docs\\readme.txt")).lastModified(), local);
  ASSERT_EQ(progress_.Windows().size(), 1u);
  const auto& window = progress_.Windows()[0];
  EXPECT_EQ(window.strTitle, "Extracting zip archive");
  EXPECT_EQ(window.strCaption, "Extracting files and folders from archive");
  EXPECT_EQ(window.uIcon1, 512u);
  EXPECT_EQ(window.strStatus, "Extracted 100011 of 100011 bytes total...");
  EXPECT_TRUE(window.bClosed);
  EXPECT_TRUE(views.Has(fileops::EViewChange::eItemAdded, "\\out\\last.txt"));
  EXPECT_TRUE(views.Has(fileops::EViewChange::eFolderCreated, "\\out\\implied\\deep"));
  EXPECT_FALSE(views.Has(fileops::EViewChange::eFolderCreated, "\\out\\docs"));  // it was there

  MakeFile("\\out\\docs\\readme.txt", "mine again");
  box_.QueueAnswer(eMsgAnsNoToAll);
  EXPECT_EQ(zip::ExtractAll("\\a.zip", "\\out"), zip::eZipCmdFailed);  // the refusals again
  EXPECT_EQ(ReadHost("\\out\\docs\\readme.txt"), "mine again");
  EXPECT_EQ(BoxTexts().size(), 6);  // one question for the whole run
}

TEST_F(ZipCommandsTest, ExtractItemsTakesNamesRelativeToTheirFolder) {
  MakeArchive(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("top/sub/a.txt", b"a")
    z.writestr("top/sub/inner/b.txt", b"b")
    z.writestr("top/c.txt", b"c")
)PY",
              "\\a.zip");
  MakeFolder("\\dest");
  const fileops::CSelection selection = {{fileops::eSelFolder, "\\a.zip\\top\\sub"},
                                         {fileops::eSelFile, "\\a.zip\\top\\c.txt"}};
  EXPECT_EQ(zip::ExtractItems("\\a.zip", selection, "\\dest"), zip::eZipCmdOK);
  EXPECT_EQ(Tree("\\dest"),
            QStringList({"c.txt", "sub/", "sub/a.txt", "sub/inner/", "sub/inner/b.txt"}));
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(ZipCommandsTest, DamagedAndEncryptedEntriesLeaveNoFile) {
  ASSERT_TRUE(HaveTool("zip"));
  MakeFile("\\src\\secret.txt", QByteArray("secret ").repeated(100));
  ASSERT_EQ(
      RunTool("zip", {"-q", "-P", "pw", Host("\\enc.zip"), "secret.txt"}, Host("\\src")).exitCode,
      0);
  MakeFolder("\\out");
  EXPECT_EQ(zip::ExtractAll("\\enc.zip", "\\out"), zip::eZipCmdFailed);
  EXPECT_EQ(Tree("\\out"), QStringList());
  EXPECT_EQ(BoxTexts(), QStringList({"Error: Encryption not supported: Encrypted zip archives are "
                                     "not supported in this version of Pinewood Browser."}));

  MakeFile("\\src\\plain.txt", Random(300000, 5));
  ASSERT_EQ(RunTool("zip", {"-q", "-0", Host("\\crc.zip"), "plain.txt"}, Host("\\src")).exitCode,
            0);
  QFile f(Host("\\crc.zip"));
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  f.seek(200000);
  const char flipped = char(f.peek(1)[0] ^ 1);
  f.write(&flipped, 1);
  f.close();
  EXPECT_EQ(zip::ExtractAll("\\crc.zip", "\\out"), zip::eZipCmdFailed);
  EXPECT_EQ(Tree("\\out"), QStringList());
  EXPECT_EQ(BoxTexts().last(), "Error: Unsupported zip format: Unsuppored or invalid zip format.");

  EXPECT_FALSE(zip::TestArchive("\\crc.zip"));
  EXPECT_EQ(BoxTexts().last(),
            "Testing zip archive: Zip archive: crc.zip: Corrupted file: plain.txt");
  MakeFile("\\bad.zip", "not an archive");
  EXPECT_EQ(zip::ExtractAll("\\bad.zip", "\\out"), zip::eZipCmdFailed);
  EXPECT_EQ(BoxTexts().last(), "Error: Unsupported zip format: Unsuppored or invalid zip format.");
}

TEST_F(ZipCommandsTest, TestReportsNoErrorsAlsoForAnEmptyArchive) {
  MakeArchive(R"PY(
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("a.txt", b"a" * 5000, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("b.txt", b"b")
)PY",
              "\\a.zip");
  MakeArchive("zipfile.ZipFile(sys.argv[1], 'w').close()\n", "\\empty.zip");
  EXPECT_TRUE(zip::TestArchive("\\a.zip"));
  EXPECT_TRUE(zip::TestArchive("\\empty.zip"));
  EXPECT_EQ(
      BoxTexts(),
      QStringList(
          {"Test finished.: Zip archive: a.zip: No errors found during test operation.",
           "Test finished.: Zip archive: empty.zip: No errors found during test operation."}));
  EXPECT_EQ(progress_.Windows()[0].strStatus, "Tested 2 files from 2 total.");
  EXPECT_EQ(progress_.Windows()[0].strTitle, "Testing zip archive");
}

TEST_F(ZipCommandsTest, CompressFoldersAndFilesThenReadBack) {
  ASSERT_TRUE(HaveTool("unzip"));
  MakeFile("\\work\\report.txt", QByteArray("report\n").repeated(1000));
  MakeFile("\\work\\tree\\a.bin", Random(200000, 9));
  MakeFolder("\\work\\tree\\empty");
  MakeFile("\\work\\tree\\sub\\b.txt", "b");
  const fileops::CSelection selection = {{fileops::eSelFile, "\\work\\report.txt"},
                                         {fileops::eSelFolder, "\\work\\tree"}};
  EXPECT_EQ(zip::ProposedArchivePath(selection), "\\work\\report.zip");
  EXPECT_EQ(zip::ProposedArchivePath({{fileops::eSelFolder, "\\work\\tree"}}), "\\work\\tree.zip");
  // The archive lies inside the selected folder: it is not added to itself.
  EXPECT_EQ(zip::CompressItems(selection, "\\work\\tree\\out.zip", 6), zip::eZipCmdOK);
  EXPECT_TRUE(box_.Calls().empty()) << BoxTexts().join("\n").toStdString();
  const CRun tested = RunTool("unzip", {"-t", Host("\\work\\tree\\out.zip")});
  EXPECT_EQ(tested.exitCode, 0) << tested.out.toStdString();
  const CRun listed = Python(R"PY(
with zipfile.ZipFile(sys.argv[1]) as z:
    for i in z.infolist(): print(i.filename, len(z.read(i)))
)PY",
                             {Host("\\work\\tree\\out.zip")});
  EXPECT_EQ(QString::fromUtf8(listed.out).split('\n', Qt::SkipEmptyParts),
            QStringList({"report.txt 7000", "tree/ 0", "tree/a.bin 200000", "tree/empty/ 0",
                         "tree/sub/ 0", "tree/sub/b.txt 1"}));
  ASSERT_EQ(progress_.Windows().size(), 1u);
  EXPECT_EQ(progress_.Windows()[0].strTitle, "Creating zip archive");
  EXPECT_EQ(progress_.Windows()[0].strStatus, "Compressed 3 files from 3 total.");

  // An existing archive is replaced only when the user agrees: No keeps it as it was.
  const QByteArray before = ReadHost("\\work\\tree\\out.zip");
  box_.QueueAnswer(eMsgAnsNo);
  EXPECT_EQ(zip::CompressItems({{fileops::eSelFile, "\\work\\report.txt"}}, "\\work\\tree\\out.zip", 6),
            zip::eZipCmdCancelled);
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strTitle, "Replace Existing File");
  EXPECT_EQ(ReadHost("\\work\\tree\\out.zip"), before);

  // Again over the existing archive (Yes: it is replaced), now with a file that cannot be read.
  box_.QueueAnswer(eMsgAnsYes);
  MakeFile("\\work\\locked.txt", "x");
  QFile::setPermissions(Host("\\work\\locked.txt"), QFileDevice::Permissions());
  const bool bRoot = QFile(Host("\\work\\locked.txt")).open(QIODevice::ReadOnly);
  EXPECT_EQ(zip::CompressItems({{fileops::eSelFile, "\\work\\locked.txt"},
                                {fileops::eSelFile, "\\work\\report.txt"}},
                               "\\work\\tree\\out.zip", 1),
            bRoot ? zip::eZipCmdOK : zip::eZipCmdFailed);
  if (!bRoot) {
    ASSERT_EQ(box_.Calls().size(), 3u);
    EXPECT_TRUE(
        box_.Calls()[2].strText.startsWith("Could not add \\work\\locked.txt to the archive"));
  }
  const CRun again = Python(R"PY(
with zipfile.ZipFile(sys.argv[1]) as z:
    print(" ".join("%s:%d" % (i.filename, i.compress_type) for i in z.infolist()))
)PY",
                            {Host("\\work\\tree\\out.zip")});
  EXPECT_EQ(again.out.trimmed(), bRoot ? "locked.txt:0 report.txt:0" : "report.txt:0");
}

TEST_F(ZipCommandsTest, ACancelledCompressionLeavesNoArchive) {
  MakeFile("\\in\\a.bin", Random(3 << 20, 2));
  progress_.CancelAfterPositionUpdates(2);
  EXPECT_EQ(zip::CompressItems({{fileops::eSelFolder, "\\in"}}, "\\in.zip", 6),
            zip::eZipCmdCancelled);
  EXPECT_EQ(Tree("\\"), QStringList({"in/", "in/a.bin"}));
  EXPECT_TRUE(box_.Calls().empty());
}

TEST_F(ZipCommandsTest, ADiskFullLeavesNoPartialOutputAndTheSourcesUntouched) {
  const QByteArray big = Random(1 << 20, 4);
  MakeFile("\\in\\a.bin", big);
  MakeFile("\\in\\b.txt", "b");
  EXPECT_EQ(zip::CompressItems({{fileops::eSelFolder, "\\in"}}, "\\good.zip", 6), zip::eZipCmdOK);
  const QByteArray archive = ReadHost("\\good.zip");

  // While creating: the archive is not there, the files are as they were.
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 3, ERROR_DISK_FULL, true);
  EXPECT_EQ(zip::CompressItems({{fileops::eSelFolder, "\\in"}}, "\\full.zip", 6),
            zip::eZipCmdFailed);
  CFaultInjector::Reset();
  EXPECT_FALSE(ExistsHost("\\full.zip"));
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_TRUE(box_.Calls()[0].strText.startsWith("Could not write the archive \\full.zip"))
      << box_.Calls()[0].strText.toStdString();
  EXPECT_EQ(ReadHost("\\in\\a.bin"), big);

  // While extracting: no partial file, the archive untouched.
  MakeFolder("\\out");
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 1, ERROR_DISK_FULL, true);
  EXPECT_EQ(zip::ExtractAll("\\good.zip", "\\out"), zip::eZipCmdFailed);
  CFaultInjector::Reset();
  EXPECT_EQ(Tree("\\out"), QStringList({"in/"}));
  EXPECT_EQ(BoxTexts().last(),
            "Extracting zip archive: Extracting files and folders from "
            "archive: Error creating file \\out\\in\\a.bin");
  EXPECT_EQ(ReadHost("\\good.zip"), archive);
  EXPECT_EQ(Tree("\\"),
            QStringList({"good.zip", "in/", "in/a.bin", "in/b.txt", "out/", "out/in/"}));
}

}  // namespace
