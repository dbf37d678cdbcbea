// The recycle bin on a real temporary root: the container and descriptor bytes, recycling files
// and folder trees, restoring them with their contents, attributes and times, merging into an
// existing folder, the overwrite question, refused containers, full disks and cancels that keep
// every source and leave no partial file, and container paths that try to leave the root.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/settings.h"
#include "fileops/recycle_bin.h"
#include "fileops/recycle_format.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "support/scripted_message_box.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"
#include "support/view_recorder.h"

namespace {

using fileops::CRecycleRecord;
using fileops::CViewChange;
using fileops::EViewChange;
using fileops::eSelFile;
using fileops::eSelFolder;
using plat::CFaultInjector;
using plat::EFaultOp;

using test::CViewRecorder;

quint32 U32At(const QByteArray& bytes, int offset) {
  return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 U16At(const QByteArray& bytes, int offset) {
  return qFromLittleEndian<quint16>(bytes.constData() + offset);
}
QString TextAt(const QByteArray& bytes, int offset) {
  QString text;
  for (int i = 0; i < 260 && U16At(bytes, offset + 2 * i) != 0; ++i)
    text += QChar(U16At(bytes, offset + 2 * i));
  return text;
}
FILETIME Ft(quint64 value) { return plat::FileTimeFromU64(value); }

class RecycleTest : public test::TempRoot {
 protected:
  void SetUp() override {
    TempRoot::SetUp();
    settings.RecycleBinPath = "\\Bin";
    settings.UseRecycleBin = 1;
    MakeFolder("\\Bin");
  }

  // Device paths of the bin's entries with a name ending in suffix, anywhere below the bin.
  QStringList BinFiles(const QString& suffix = ".trb") const {
    QStringList found;
    QDirIterator it(Host("\\Bin"), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString host = it.next();
      if (host.endsWith(suffix)) found << "\\" + QDir(dir_.path()).relativeFilePath(host).replace('/', '\\');
    }
    found.sort();
    return found;
  }
  QStringList Listing(const QString& devicePath) const {
    return QDir(Host(devicePath))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
  }
  // The one container of the bin.
  QString OnlyContainer() const {
    const QStringList containers = BinFiles();
    EXPECT_EQ(containers.size(), 1);
    return containers.value(0);
  }
  QString OnlyBinFolder() const {
    const QStringList folders = QDir(Host("\\Bin")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(folders.size(), 1);
    return "\\Bin\\" + folders.value(0);
  }
  // A container made by hand: header, record bytes and data.
  QString WriteContainer(const QString& name, const QByteArray& bytes) {
    return MakeFile("\\Bin\\" + name, bytes);
  }
  static CRecycleRecord RecordFor(const QString& path, const QString& name, quint64 size) {
    CRecycleRecord record = fileops::NewRecord();
    record.SetOriginalPath(path);
    for (int i = 0; i < name.size(); ++i) record.findData.cFileName[i] = name.at(i).unicode();
    record.findData.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    record.findData.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    record.findData.nFileSizeLow = static_cast<DWORD>(size);
    return record;
  }
  void SetTimes(const QString& path, quint64 creation, quint64 access, quint64 write) {
    const FILETIME c = Ft(creation), a = Ft(access), w = Ft(write);
    ASSERT_TRUE(plat::SetFileTimes(path, &c, &a, &w));
  }
  void ExpectTimes(const QString& path, quint64 creation, quint64 access, quint64 write) {
    FILETIME c{}, a{}, w{};
    ASSERT_TRUE(plat::GetFileTimes(path, &c, &a, &w));
    EXPECT_EQ(plat::FileTimeToU64(c), creation) << path.toStdString();
    EXPECT_EQ(plat::FileTimeToU64(a), access) << path.toStdString();
    EXPECT_EQ(plat::FileTimeToU64(w), write) << path.toStdString();
  }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
  CViewRecorder views_;
  fileops::CScopedViewListener listen_{&views_};
};

// 2021-03-04 and nearby moments, as FILETIMEs with whole microseconds.
constexpr quint64 kCreation = 132592608000000000ULL;
constexpr quint64 kAccess = 132592608123456780ULL;
constexpr quint64 kWrite = 132592608987654320ULL;

TEST_F(RecycleTest, AnEmptyFileBecomesAContainerOfExactly1124Bytes) {
  MakeFile("\\d\\empty.txt");
  EXPECT_EQ(fileops::RecycleFile("\\d\\empty.txt", "\\Bin"), fileops::eRecycleOK);
  const QString container = OnlyContainer();
  EXPECT_EQ(QFileInfo(Host(container)).size(), 1124);
  EXPECT_FALSE(ExistsHost("\\d\\empty.txt"));
  EXPECT_TRUE(views_.Has(EViewChange::eItemRemoved, "\\d\\empty.txt"));
  EXPECT_EQ(BinFiles(".tmp"), QStringList());  // the name's reservation is gone

  ASSERT_EQ(progress_.Windows().size(), 1u);
  const test::CProgressRecord& w = progress_.Windows()[0];
  EXPECT_EQ(w.kind, fileops::eProgressSingle);
  EXPECT_EQ(w.uIcon1, 476u);
  EXPECT_EQ(w.strTitle, "Moving...");
  EXPECT_EQ(w.strCaption, "Moving file empty.txt to recycle bin...");
  EXPECT_EQ(w.strFile, "empty.txt");
  EXPECT_EQ(w.strFrom, "\\d");
  EXPECT_TRUE(w.bClosed);
}

TEST_F(RecycleTest, TheContainerOfAKnownFileMatchesTheLayoutFieldByField) {
  const QByteArray content = "Pinewood recycle bin\r\n";
  MakeFile("\\Docs\\Notes.txt", content);
  SetTimes("\\Docs\\Notes.txt", kCreation, kAccess, kWrite);
  ASSERT_TRUE(plat::SetFileAttributes("\\Docs\\Notes.txt", FILE_ATTRIBUTE_ARCHIVE));
  SYSTEMTIME before;
  plat::GetSystemTime(&before);
  ASSERT_EQ(fileops::RecycleFile("\\Docs\\Notes.txt", "\\Bin"), fileops::eRecycleOK);

  const QString container = OnlyContainer();
  EXPECT_TRUE(QFileInfo(container).fileName().endsWith(".trb"));
  const QByteArray bytes = ReadHost(container);
  ASSERT_EQ(bytes.size(), 1124 + content.size());
  EXPECT_EQ(bytes.left(10), QByteArray("P\0B\0R\0B\0F\0", 10));
  EXPECT_EQ(bytes.at(10), 1);
  EXPECT_EQ(bytes.at(11), 0);
  EXPECT_EQ(U32At(bytes, 12), 1u);
  for (int offset : {16, 20, 24}) EXPECT_EQ(U32At(bytes, offset), 0u) << offset;
  // The find data at 28.
  EXPECT_EQ(U32At(bytes, 28), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(U32At(bytes, 32) | quint64(U32At(bytes, 36)) << 32, kCreation);
  EXPECT_EQ(U32At(bytes, 40) | quint64(U32At(bytes, 44)) << 32, kAccess);
  EXPECT_EQ(U32At(bytes, 48) | quint64(U32At(bytes, 52)) << 32, kWrite);
  EXPECT_EQ(U32At(bytes, 56), 0u);                                     // size high
  EXPECT_EQ(U32At(bytes, 60), static_cast<quint32>(content.size()));  // size low
  EXPECT_EQ(TextAt(bytes, 68), "Notes.txt");
  EXPECT_EQ(bytes.mid(68 + 2 * 9, 520 - 2 * 9), QByteArray(520 - 2 * 9, '\0'));  // NUL-padded
  // The UTC time of recycling at 588: year, month, day of week, day, hour, minute, ...
  EXPECT_EQ(U16At(bytes, 588), before.wYear);
  EXPECT_EQ(U16At(bytes, 590), before.wMonth);
  EXPECT_EQ(U16At(bytes, 592), before.wDayOfWeek);
  EXPECT_EQ(U16At(bytes, 594), before.wDay);
  EXPECT_LT(U16At(bytes, 596), 24);
  // The original path at 604, NUL-padded to 520 bytes; then the data at 1124.
  EXPECT_EQ(TextAt(bytes, 604), "\\Docs\\Notes.txt");
  EXPECT_EQ(bytes.mid(604 + 2 * 15, 520 - 2 * 15), QByteArray(520 - 2 * 15, '\0'));
  EXPECT_EQ(bytes.mid(1124), content);

  // The reader sees the same record.
  CRecycleRecord record;
  ASSERT_EQ(fileops::ReadContainer(container, &record), fileops::eContainerOK);
  EXPECT_EQ(record.OriginalPath(), "\\Docs\\Notes.txt");
  EXPECT_EQ(record.Name(), "Notes.txt");
  EXPECT_EQ(record.Size(), static_cast<quint64>(content.size()));
  EXPECT_EQ(fileops::EncodeRecord(record), bytes.mid(12, 1112));
}

TEST_F(RecycleTest, RecordRoundTripsAndKeepsPathsUpTo259Characters) {
  CRecycleRecord record = fileops::NewRecord();
  EXPECT_EQ(record.dwVersion, 1u);
  const QString longest = "\\" + QString(258, 'p');
  EXPECT_TRUE(record.SetOriginalPath(longest));
  EXPECT_FALSE(record.SetOriginalPath(longest + "x"));  // no room for the terminator
  EXPECT_EQ(record.OriginalPath(), longest);
  record.findData.nFileSizeHigh = 1;
  record.findData.nFileSizeLow = 5;
  EXPECT_EQ(record.Size(), 0x100000005ULL);
  const QByteArray bytes = fileops::EncodeRecord(record);
  ASSERT_EQ(bytes.size(), 1112);
  CRecycleRecord back;
  ASSERT_TRUE(fileops::DecodeRecord(bytes, &back));
  EXPECT_EQ(fileops::EncodeRecord(back), bytes);
  EXPECT_EQ(back.OriginalPath(), longest);
  EXPECT_FALSE(fileops::DecodeRecord(bytes.left(1111), &back));
}

TEST_F(RecycleTest, DescriptorsOfOtherLengthsThan1112BytesAreRefused) {
  MakeFolder("\\Bin\\d0");
  CRecycleRecord record;
  EXPECT_FALSE(fileops::Read(&record, "\\Bin\\d0"));  // missing
  for (int size : {0, 1111}) {
    MakeFile("\\Bin\\d0\\.fldrdescr.dat", QByteArray(size, '\1'));
    EXPECT_FALSE(fileops::Read(&record, "\\Bin\\d0")) << size;
  }
  // Exactly 1112 bytes are taken whatever the first word holds.
  CRecycleRecord written = RecordFor("\\Folder", "Folder", 0);
  written.dwVersion = 7;
  ASSERT_TRUE(fileops::Write(written, "\\Bin\\d0"));
  EXPECT_EQ(QFileInfo(Host("\\Bin\\d0\\.fldrdescr.dat")).size(), 1112);
  ASSERT_TRUE(fileops::Read(&record, "\\Bin\\d0"));
  EXPECT_EQ(record.dwVersion, 7u);
  EXPECT_EQ(record.OriginalPath(), "\\Folder");
}

TEST_F(RecycleTest, RestoreBringsBackContentAttributesAndTimesAndEmptiesTheBin) {
  const QByteArray content(600000, 'r');  // more than two chunks
  MakeFile("\\Docs\\report.bin", content);
  SetTimes("\\Docs\\report.bin", kCreation, kAccess, kWrite);
  ASSERT_TRUE(plat::SetFileAttributes("\\Docs\\report.bin",
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY));
  ASSERT_EQ(fileops::RecycleItemsCommand({{eSelFile, "\\Docs\\report.bin"}}),
            fileops::eRecycleOK);
  EXPECT_FALSE(ExistsHost("\\Docs\\report.bin"));
  const QString container = OnlyContainer();

  EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreOK);
  ExpectTimes("\\Docs\\report.bin", kCreation, kAccess, kWrite);  // before a read changes one
  EXPECT_EQ(ReadHost("\\Docs\\report.bin"), content);
  EXPECT_EQ(plat::GetFileAttributes("\\Docs\\report.bin"),
            FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY);
  EXPECT_EQ(Listing("\\Bin"), QStringList());
  EXPECT_TRUE(views_.Has(EViewChange::eItemAdded, "\\Docs\\report.bin"));
  EXPECT_TRUE(views_.Has(EViewChange::eItemRemoved, container));
  EXPECT_TRUE(box_.Calls().empty());

  const test::CProgressRecord& w = progress_.Windows().back();
  EXPECT_EQ(w.kind, fileops::eProgressMulti);
  EXPECT_EQ(w.strTitle, "Restore selection");
  EXPECT_EQ(w.strCaption, "Restore the selected items");
  EXPECT_EQ(w.strFrom, "Recycle Bin");
  EXPECT_EQ(w.strStatus, "Moved 1 file from 1 total.");
  EXPECT_EQ(w.strItemStatus, "Moved 600000 of 600000 bytes...");
  EXPECT_EQ(w.bar.uPos, 600000u);
}

TEST_F(RecycleTest, TheReadOnlyQuestionDecidesWhetherTheFileComesBackReadOnly) {
  struct Case {
    int nReadOnlyAnswer;
    DWORD dwRestored;
  };
  for (const Case& c : {Case{eMsgAnsNo, FILE_ATTRIBUTE_READONLY}, Case{eMsgAnsYes, 0u}}) {
    MakeFile("\\ro\\locked.txt", "keep");
    ASSERT_TRUE(plat::SetFileAttributes("\\ro\\locked.txt", FILE_ATTRIBUTE_READONLY));
    box_.QueueAnswer(eMsgAnsYes);  // delete?
    box_.QueueAnswer(c.nReadOnlyAnswer);
    ASSERT_EQ(fileops::RecycleFileCommand("\\ro\\locked.txt"), fileops::eRecycleOK);
    EXPECT_FALSE(ExistsHost("\\ro\\locked.txt"));
    const QString container = OnlyContainer();
    CRecycleRecord record;
    ASSERT_EQ(fileops::ReadContainer(container, &record), fileops::eContainerOK);
    EXPECT_EQ(record.findData.dwFileAttributes & FILE_ATTRIBUTE_READONLY, c.dwRestored);

    ASSERT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreOK);
    EXPECT_EQ(ReadHost("\\ro\\locked.txt"), "keep");
    EXPECT_EQ(plat::GetFileAttributes("\\ro\\locked.txt") & FILE_ATTRIBUTE_READONLY,
              c.dwRestored);
    ASSERT_TRUE(plat::SetFileAttributes("\\ro\\locked.txt", 0));
    ASSERT_TRUE(QFile::remove(Host("\\ro\\locked.txt")));
  }
  const auto calls = box_.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].strText, "Are you sure you want to delete file \"locked.txt\"?");
  EXPECT_EQ(calls[0].strTitle, "Delete");
  EXPECT_EQ(calls[0].strHeader, "Confirm delete operation");
  EXPECT_EQ(calls[0].nDefaultAnswer, eMsgAnsNo);
  EXPECT_EQ(calls[1].strText, "The file is Read-only. Are you sure you want to delete it?");
  EXPECT_EQ(calls[1].strHeader, "Delete Read-only file");
}

TEST_F(RecycleTest, AFailedRecycleGivesAReadOnlyFileItsAttributeBack) {
  MakeFile("\\ro\\locked.txt", "keep");
  ASSERT_TRUE(plat::SetFileAttributes("\\ro\\locked.txt", FILE_ATTRIBUTE_READONLY));
  box_.QueueAnswer(eMsgAnsYes);
  box_.QueueAnswer(eMsgAnsYes);  // clear the read-only attribute
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 1, ERROR_DISK_FULL);
  EXPECT_EQ(fileops::RecycleFileCommand("\\ro\\locked.txt"), fileops::eRecycleNoContainer);
  CFaultInjector::Reset();
  EXPECT_EQ(plat::GetFileAttributes("\\ro\\locked.txt") & FILE_ATTRIBUTE_READONLY,
            FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ReadHost("\\ro\\locked.txt"), "keep");
  EXPECT_EQ(box_.Calls().back().strText,
            "Can not delete file \"\\ro\\locked.txt\". It is used or locked by another program.");
  EXPECT_EQ(box_.Calls().back().strTitle, "Error deleting file");
  EXPECT_EQ(box_.Calls().back().strHeader, "");
}

TEST_F(RecycleTest, AFileCommandAnsweredNoRecyclesNothing) {
  MakeFile("\\d\\a.txt", "a");
  box_.QueueAnswer(eMsgAnsNo);
  EXPECT_EQ(fileops::RecycleFileCommand("\\d\\a.txt"), fileops::eRecycleCancelled);
  EXPECT_EQ(ReadHost("\\d\\a.txt"), "a");
  EXPECT_EQ(Listing("\\Bin"), QStringList());
}

TEST_F(RecycleTest, AFolderTreeGetsOneDescriptorPerLevelAndRestoresMergingIntoAnExistingFolder) {
  MakeFile("\\T\\a.txt", "a");
  MakeFile("\\T\\S1\\b.txt", "bb");
  MakeFile("\\T\\S1\\S2\\c.txt", "ccc");
  MakeFolder("\\T\\Empty");
  SetTimes("\\T\\S1", kCreation, kAccess, kWrite);
  box_.QueueAnswer(eMsgAnsYes);
  ASSERT_EQ(fileops::RecycleFolderCommand("\\T"), fileops::eRecycleOK);
  EXPECT_FALSE(ExistsHost("\\T"));
  EXPECT_TRUE(views_.Has(EViewChange::eFolderRemoved, "\\T\\S1\\S2"));
  EXPECT_TRUE(views_.Has(EViewChange::eFolderRemoved, "\\T"));
  EXPECT_EQ(box_.Calls()[0].strText,
            "Are you sure you want to delete folder \"T\" and all its contents?");
  EXPECT_EQ(box_.Calls()[0].strTitle, "Deleting...");

  // One directory per level, each with its own descriptor naming the folder it stands for.
  const QStringList descriptors = BinFiles(".fldrdescr.dat");
  ASSERT_EQ(descriptors.size(), 4);
  QStringList originals;
  for (const QString& descriptor : descriptors) {
    CRecycleRecord record;
    ASSERT_TRUE(fileops::Read(&record, descriptor.left(descriptor.lastIndexOf('\\'))));
    originals << record.OriginalPath();
  }
  originals.sort();
  EXPECT_EQ(originals, QStringList({"\\T", "\\T\\Empty", "\\T\\S1", "\\T\\S1\\S2"}));
  EXPECT_EQ(BinFiles().size(), 3);
  const QString top = OnlyBinFolder();
  EXPECT_EQ(QDir(Host(top)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);

  // The folder is back in part, with a file of its own: the restore merges.
  MakeFile("\\T\\mine.txt", "mine");
  ASSERT_TRUE(plat::SetFileAttributes("\\T", FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(fileops::RestoreFolderCommand(top), fileops::eRestoreOK);
  EXPECT_EQ(ReadHost("\\T\\a.txt"), "a");
  EXPECT_EQ(ReadHost("\\T\\S1\\b.txt"), "bb");
  EXPECT_EQ(ReadHost("\\T\\S1\\S2\\c.txt"), "ccc");
  EXPECT_EQ(ReadHost("\\T\\mine.txt"), "mine");
  EXPECT_TRUE(QFileInfo(Host("\\T\\Empty")).isDir());
  EXPECT_EQ(plat::GetFileAttributes("\\T"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
  // A re-created folder gets its times (the access time of a folder changes with any listing).
  FILETIME c{}, w{};
  ASSERT_TRUE(plat::GetFileTimes("\\T\\S1", &c, nullptr, &w));
  EXPECT_EQ(plat::FileTimeToU64(c), kCreation);
  EXPECT_EQ(plat::FileTimeToU64(w), kWrite);
  EXPECT_EQ(Listing("\\Bin"), QStringList());
  EXPECT_EQ(progress_.Windows().back().strTitle, "Restore folder");
  EXPECT_EQ(progress_.Windows().back().strStatus, "Moved 3 files from 3 total.");
}

TEST_F(RecycleTest, AFolderRestoreThatFailsIsShownOnceAndKeepsWhatIsNotBack) {
  MakeFile("\\P\\F\\a.txt", "a");
  ASSERT_EQ(fileops::RecycleItemsCommand({{eSelFolder, "\\P\\F"}}), fileops::eRecycleOK);
  const QString item = OnlyBinFolder();
  // The folder that held it is gone: the folder cannot be made again.
  ASSERT_TRUE(QDir(Host("\\P")).removeRecursively());
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, item}}), fileops::eRestoreNotCreated);
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strText, "Can not restore \"\\P\\F\".");
  EXPECT_EQ(box_.Calls()[0].strTitle, "Restore folder");
  EXPECT_EQ(BinFiles().size(), 1);

  // A container that is not valid stops the walk; its one report names it.
  MakeFolder("\\P");
  WriteContainer(item.mid(5) + "\\zz.trb", QByteArray(2000, 'x'));
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, item}}), fileops::eRestoreInvalid);
  ASSERT_EQ(box_.Calls().size(), 2u);
  EXPECT_EQ(box_.Calls()[1].strText, "Can not restore \"" + item + "\\zz.trb\".");
  EXPECT_TRUE(ExistsHost(item));
}

TEST_F(RecycleTest, ARestoreOverAnExistingFileAsksAndNoKeepsEverything) {
  MakeFile("\\d\\a.txt", "old");
  ASSERT_EQ(fileops::RecycleFile("\\d\\a.txt", "\\Bin"), fileops::eRecycleOK);
  const QString container = OnlyContainer();
  MakeFile("\\d\\a.txt", "newer");

  box_.QueueAnswer(eMsgAnsNo);
  EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreDeclined);
  EXPECT_EQ(ReadHost("\\d\\a.txt"), "newer");
  EXPECT_TRUE(ExistsHost(container));
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strHeader, "Are you sure you want to overwrite the existing file?");
  EXPECT_TRUE(box_.Calls()[0].strText.startsWith("The last modification time is: "));
  EXPECT_EQ(box_.Calls()[0].nDefaultAnswer, eMsgAnsNo);

  box_.QueueAnswer(eMsgAnsYes);
  EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreOK);
  EXPECT_EQ(ReadHost("\\d\\a.txt"), "old");
  EXPECT_EQ(Listing("\\d"), QStringList({"a.txt"}));  // no temporary left
  EXPECT_EQ(Listing("\\Bin"), QStringList());
}

TEST_F(RecycleTest, BadContainersAreRefusedWith3AndCreateNothing) {
  const QByteArray data = "payload";
  const CRecycleRecord good = RecordFor("\\out\\x.txt", "x.txt", data.size());
  const QByteArray head = fileops::EncodeContainerHeader(fileops::kRecycleKindFile);
  const QByteArray record = fileops::EncodeRecord(good);
  auto patched = [&](int offset, const QByteArray& with) {
    QByteArray bytes = head + record + data;
    bytes.replace(offset, with.size(), with);
    return bytes;
  };
  CRecycleRecord shortPath = good;
  shortPath.SetOriginalPath("x");
  CRecycleRecord over4G = good;
  over4G.findData.nFileSizeHigh = 1;  // the high word counts: 4 GB more than the data holds
  struct Case {
    const char* what;
    QByteArray bytes;
  };
  const Case cases[] = {
      {"wrong magic", patched(0, QByteArray("X\0", 2))},
      {"kind 2", patched(10, QByteArray(1, '\2'))},
      {"kind 0", patched(10, QByteArray(1, '\0'))},
      {"word at 8", patched(12 + 8, QByteArray(1, '\1'))},
      {"word at 12", patched(12 + 12, QByteArray(1, '\1'))},
      {"path of 1 character", head + fileops::EncodeRecord(shortPath) + data},
      {"short header", head.left(7)},
      {"short record", head + record.left(600)},
      {"missing data byte", head + record + data.chopped(1)},
      {"size with a high word", head + fileops::EncodeRecord(over4G) + data},
  };
  MakeFolder("\\out");
  int n = 0;
  for (const Case& c : cases) {
    const QString container = WriteContainer(QStringLiteral("bad%1.trb").arg(n++), c.bytes);
    EXPECT_EQ(fileops::RestoreFile(container), fileops::eRestoreInvalid) << c.what;
    EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreInvalid) << c.what;
    EXPECT_EQ(Listing("\\out"), QStringList()) << c.what;
    EXPECT_TRUE(ExistsHost(container)) << c.what;
  }
  // The unchanged bytes restore: the table changes one thing at a time.
  const QString container = WriteContainer("good.trb", head + record + data);
  EXPECT_EQ(fileops::RestoreFile(container), fileops::eRestoreOK);
  EXPECT_EQ(ReadHost("\\out\\x.txt"), data);
  EXPECT_EQ(fileops::RestoreFile("\\Bin\\missing.trb"), fileops::eRestoreNotOpened);
  EXPECT_EQ(fileops::RestoreFile(""), fileops::eRestoreEmptyPath);
}

TEST_F(RecycleTest, AFullDiskOrFailedFlushWhileRecyclingKeepsTheSourceAndLeavesNoContainer) {
  const QByteArray content(300000, 's');
  struct Case {
    EFaultOp op;
    int nth;
  };
  // Write 1 is the header and record, 2 the first data chunk; then the flush, and the close
  // of the container (close 1 is the source's).
  for (const Case& c : {Case{EFaultOp::eFaultWrite, 1}, Case{EFaultOp::eFaultWrite, 2},
                        Case{EFaultOp::eFaultWrite, 3}, Case{EFaultOp::eFaultFlush, 1},
                        Case{EFaultOp::eFaultClose, 2}}) {
    MakeFile("\\d\\big.bin", content);
    CFaultInjector::FailNth(c.op, c.nth, ERROR_DISK_FULL);
    EXPECT_EQ(fileops::RecycleFile("\\d\\big.bin", "\\Bin"), fileops::eRecycleNoContainer)
        << static_cast<int>(c.op) << " " << c.nth;
    CFaultInjector::Reset();
    EXPECT_EQ(ReadHost("\\d\\big.bin"), content);
    EXPECT_EQ(Listing("\\Bin"), QStringList());
  }
  // The command shows the failure.
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 3, ERROR_DISK_FULL);  // the second chunk
  const int result = fileops::RecycleItemsCommand({{eSelFile, "\\d\\big.bin"}});
  CFaultInjector::Reset();
  EXPECT_EQ(result, fileops::eRecycleNoContainer);
  EXPECT_EQ(box_.Calls().back().strText,
            "Can not delete file \"\\d\\big.bin\". It is used or locked by another program.");
  EXPECT_EQ(box_.Calls().back().strTitle, "Error deleting file");
  EXPECT_EQ(ReadHost("\\d\\big.bin"), content);
}

// A run waits for its containers once per batch: when the wait for their data or the one for
// their names fails, no container of the batch is left and every source stays in its folder.
TEST_F(RecycleTest, AFlushThatFailsInAFolderRunKeepsItsSourcesAndTheirFolder) {
  for (const int nth : {1, 2}) {  // the wait for the data, then the one for the names
    SCOPED_TRACE(nth);
    test::CScriptedMessageBox box;
    MakeFile("\\F\\a.txt", "a");
    MakeFile("\\F\\b.txt", "b");
    MakeFile("\\F\\c.txt", "c");
    CFaultInjector::FailNth(EFaultOp::eFaultFlushFileSystem, nth, ERROR_IO_DEVICE);
    EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFolder, "\\F"}}), fileops::eRecycleNoContainer);
    CFaultInjector::Reset();
    EXPECT_EQ(Listing("\\F"), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(ReadHost("\\F\\c.txt"), "c");
    EXPECT_TRUE(BinFiles().isEmpty());
    ASSERT_FALSE(box.Calls().empty());
    EXPECT_TRUE(box.Calls()[0].strText.startsWith("Can not delete file \"\\F\\"));
    EXPECT_EQ(progress_.Windows().back().strStatus, "Moved 0 files from 3 total.");
  }
  // Without the fault the same run recycles all three, and they restore. (The failed runs
  // left their folders' descriptors in the bin, without any container.)
  QDir(Host("\\Bin")).removeRecursively();
  MakeFolder("\\Bin");
  EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFolder, "\\F"}}), fileops::eRecycleOK);
  EXPECT_FALSE(ExistsHost("\\F"));
  EXPECT_EQ(BinFiles().size(), 3);
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, OnlyBinFolder()}}), fileops::eRestoreOK);
  EXPECT_EQ(Listing("\\F"), QStringList({"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(ReadHost("\\F\\c.txt"), "c");
}

TEST_F(RecycleTest, ACancelledRecycleKeepsTheSourceAndLeavesNoContainer) {
  const QByteArray content(600000, 'c');
  MakeFile("\\d\\big.bin", content);
  progress_.CancelAfterPositionUpdates(3);
  EXPECT_EQ(fileops::RecycleFile("\\d\\big.bin", "\\Bin"), fileops::eRecycleCancelled);
  EXPECT_EQ(ReadHost("\\d\\big.bin"), content);
  EXPECT_EQ(Listing("\\Bin"), QStringList());
  EXPECT_TRUE(box_.Calls().empty());  // a cancel is not an error
}

TEST_F(RecycleTest, ACancelledOrFailedRestoreLeavesNoPartialTarget) {
  const QByteArray content(600000, 'c');
  MakeFile("\\d\\big.bin", content);
  ASSERT_EQ(fileops::RecycleFile("\\d\\big.bin", "\\Bin"), fileops::eRecycleOK);
  const QString container = OnlyContainer();

  progress_.CancelAfterPositionUpdates(3);
  EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreCancelled);
  EXPECT_FALSE(ExistsHost("\\d\\big.bin"));
  EXPECT_EQ(Listing("\\d"), QStringList());
  EXPECT_TRUE(ExistsHost(container));
  progress_.CancelAfterPositionUpdates(1 << 30);

  // Over an existing file: the old one stays exactly as it was.
  MakeFile("\\d\\big.bin", "old");
  box_.QueueAnswer(eMsgAnsYes);
  CFaultInjector::FailNth(EFaultOp::eFaultWrite, 2, ERROR_DISK_FULL);
  EXPECT_EQ(fileops::RestoreFile(container), fileops::eRestoreDataFailed);
  CFaultInjector::Reset();
  EXPECT_EQ(ReadHost("\\d\\big.bin"), "old");
  EXPECT_EQ(Listing("\\d"), QStringList({"big.bin"}));

  // The restore is flushed before its container goes.
  MakeFile("\\d\\big.bin", "old");
  QFile::remove(Host("\\d\\big.bin"));
  CFaultInjector::FailNth(EFaultOp::eFaultFlushFileSystem, 1, ERROR_IO_DEVICE);
  EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreDataFailed);
  CFaultInjector::Reset();
  EXPECT_FALSE(ExistsHost("\\d\\big.bin"));
  EXPECT_TRUE(ExistsHost(container));
  EXPECT_EQ(box_.Calls().back().strText, "Can not restore \"\\d\\big.bin\".");
}

TEST_F(RecycleTest, AHostilePathInAContainerCannotLeaveTheRoot) {
  QTemporaryDir outside;
  ASSERT_TRUE(outside.isValid());
  ASSERT_EQ(::symlink(QFile::encodeName(outside.path()).constData(),
                      QFile::encodeName(Host("\\away")).constData()),
            0);
  MakeFolder("\\d");
  struct Case {
    const char* path;
    const char* name;
  };
  const Case cases[] = {
      {"\\..\\escape.txt", "escape.txt"},
      {"\\d\\..\\..\\escape.txt", "escape.txt"},
      {"\\d\\x.txt", "..\\..\\escape.txt"},
      {"\\d\\x.txt", "../escape.txt"},
      {"\\d\\x.txt", ".."},
      {"\\d\\x.txt", ""},
      {"\\away\\escape.txt", "escape.txt"},  // a link that leads out of the root
  };
  int n = 0;
  for (const Case& c : cases) {
    const QString container = WriteContainer(
        QStringLiteral("h%1.trb").arg(n++),
        fileops::EncodeContainerHeader(1) + fileops::EncodeRecord(RecordFor(c.path, c.name, 4)) +
            "evil");
    EXPECT_EQ(fileops::RestoreFile(container), fileops::eRestoreInvalid) << c.path << c.name;
  }
  // A recycled folder whose descriptor points out of the root.
  MakeFolder("\\Bin\\pbr1");
  ASSERT_TRUE(fileops::Write(RecordFor("\\away\\sub", "sub", 0), "\\Bin\\pbr1"));
  WriteContainer("pbr1\\in.trb", fileops::EncodeContainerHeader(1) +
                                     fileops::EncodeRecord(RecordFor("\\away\\sub\\in.txt",
                                                                     "in.txt", 4)) +
                                     "evil");
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, "\\Bin\\pbr1"}}), fileops::eRestoreInvalid);
  EXPECT_EQ(QDir(outside.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList());
  EXPECT_EQ(QDir(QFileInfo(dir_.path()).path()).entryList({"escape.txt"}), QStringList());
  EXPECT_EQ(Listing("\\d"), QStringList());
}

// Containers and descriptors that name the bin, one of its containers or a folder inside it
// are refused: nothing is written into the bin, and every container stays whole.
TEST_F(RecycleTest, NothingIsRestoredIntoTheBin) {
  MakeFile("\\d\\keep.txt", "precious");
  ASSERT_EQ(fileops::RecycleItemsCommand({{eSelFile, "\\d\\keep.txt"}}), fileops::eRecycleOK);
  const QString victim = OnlyContainer();
  const QByteArray victimBytes = ReadHost(victim);
  const QString victimName = victim.mid(5);
  struct Case {
    QString path;
    QString name;
  } const cases[] = {
      {victim, victimName},                    // another container of the bin
      {"\\Bin\\self.trb", "self.trb"},        // the container itself
      {"\\Bin\\new.txt", "new.txt"},          // the bin folder
      {"\\Bin\\sub\\x.txt", "x.txt"},        // a folder below the bin that does not exist
  };
  for (const Case& c : cases) {
    const QString container = WriteContainer(
        c.name == "self.trb" ? "self.trb" : "crafted.trb",
        fileops::EncodeContainerHeader(1) + fileops::EncodeRecord(RecordFor(c.path, c.name, 4)) +
            "evil");
    EXPECT_EQ(fileops::RestoreFile(container), fileops::eRestoreInvalid) << c.path.toStdString();
    EXPECT_TRUE(ExistsHost(container)) << c.path.toStdString();
    ASSERT_TRUE(QFile::remove(Host(container)));
  }
  EXPECT_EQ(ReadHost(victim), victimBytes);
  // A recycled folder whose descriptor names the bin itself.
  MakeFolder("\\Bin\\pbr2");
  ASSERT_TRUE(fileops::Write(RecordFor("\\Bin", "Bin", 0), "\\Bin\\pbr2"));
  WriteContainer("pbr2\\in.trb", fileops::EncodeContainerHeader(1) +
                                      fileops::EncodeRecord(RecordFor("\\Bin\\in.txt", "in.txt", 4)) +
                                      "evil");
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, "\\Bin\\pbr2"}}), fileops::eRestoreInvalid);
  EXPECT_FALSE(ExistsHost("\\Bin\\in.txt"));
  EXPECT_TRUE(ExistsHost("\\Bin\\pbr2\\in.trb"));
  EXPECT_EQ(ReadHost(victim), victimBytes);
}

// Files and links that the bin did not make, found inside a recycled folder, are never deleted
// by its restore: they stay in the bin with the folders that hold them, and the restore says so.
TEST_F(RecycleTest, ForeignItemsInARecycledFolderAreKeptAndReported) {
  MakeFile("\\P\\F\\a.txt", "a");
  MakeFile("\\P\\F\\S\\b.txt", "b");
  MakeFile("\\P\\F\\T\\c.txt", "c");
  ASSERT_EQ(fileops::RecycleItemsCommand({{eSelFolder, "\\P\\F"}}), fileops::eRecycleOK);
  const QString item = OnlyBinFolder();
  QStringList subs = QDir(Host(item)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  ASSERT_EQ(subs.size(), 2);
  // A foreign file in one sub-folder, and one beside the top folder's containers.
  MakeFile(item + "\\" + subs[0] + "\\notes.txt", "mine");
  MakeFile(item + "\\stray.doc", "also mine");
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, item}}), fileops::eRestoreBinNotDeleted);
  EXPECT_EQ(ReadHost("\\P\\F\\a.txt"), "a");
  EXPECT_EQ(ReadHost("\\P\\F\\S\\b.txt"), "b");
  EXPECT_EQ(ReadHost("\\P\\F\\T\\c.txt"), "c");
  EXPECT_EQ(ReadHost(item + "\\" + subs[0] + "\\notes.txt"), "mine");
  EXPECT_EQ(ReadHost(item + "\\stray.doc"), "also mine");
  EXPECT_FALSE(ExistsHost(item + "\\" + subs[1])) << "a sub-folder with nothing foreign goes";
  EXPECT_EQ(BinFiles(), QStringList()) << "every container is restored";
  ASSERT_EQ(box_.Calls().size(), 1u);
  EXPECT_EQ(box_.Calls()[0].strTitle, "Restore folder");
  EXPECT_TRUE(box_.Calls()[0].strText.contains("notes.txt")) << box_.Calls()[0].strText.toStdString();
  EXPECT_TRUE(box_.Calls()[0].strText.contains("stray.doc"));
}

TEST_F(RecycleTest, LinksAreRecycledAsTheirContentAndLinkedFoldersStayInPlace) {
  MakeFile("\\target\\t.txt", "target");
  MakeFile("\\F\\own.txt", "own");
  ASSERT_EQ(::symlink(QFile::encodeName(Host("\\target\\t.txt")).constData(),
                      QFile::encodeName(Host("\\F\\file-link")).constData()),
            0);
  ASSERT_EQ(::symlink(QFile::encodeName(Host("\\target")).constData(),
                      QFile::encodeName(Host("\\F\\folder-link")).constData()),
            0);
  // The folder that stays is a failure, and says which link kept it.
  EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFolder, "\\F"}}), fileops::eRecycleSourceKept);
  ASSERT_FALSE(box_.Calls().empty());
  EXPECT_TRUE(box_.Calls().back().strText.contains("folder-link"));
  EXPECT_EQ(ReadHost("\\target\\t.txt"), "target");  // the target is untouched
  EXPECT_EQ(Listing("\\F"), QStringList({"folder-link"}));
  EXPECT_EQ(Listing("\\target"), QStringList({"t.txt"}));
  EXPECT_EQ(BinFiles().size(), 2);

  ASSERT_TRUE(QFile::remove(Host("\\F\\folder-link")));
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, OnlyBinFolder()}}), fileops::eRestoreOK);
  EXPECT_EQ(ReadHost("\\F\\own.txt"), "own");
  EXPECT_EQ(ReadHost("\\F\\file-link"), "target");
  EXPECT_FALSE(QFileInfo(Host("\\F\\file-link")).isSymLink());
}

// A link that leads outside the root, or to nothing, has no content to keep: it stays, and
// the box says why instead of blaming another program. What it points to is untouched.
TEST_F(RecycleTest, ALinkOutsideTheRootOrToNothingStaysAndTheBoxSaysWhy) {
  QTemporaryDir outside;
  ASSERT_TRUE(outside.isValid());
  const QString secret = outside.filePath("secret.txt");
  QFile f(secret);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("outside");
  f.close();
  MakeFolder("\\d");
  const char* const targets[] = {"out", "nothing"};
  for (const char* name : targets) {
    const QString target = QString(name) == "out" ? secret : Host("\\d\\missing.txt");
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(),
                        QFile::encodeName(Host(QStringLiteral("\\d\\%1").arg(name))).constData()),
              0);
    const size_t before = box_.Calls().size();
    EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFile, QStringLiteral("\\d\\%1").arg(name)}}),
              fileops::eRecycleNotReadable)
        << name;
    ASSERT_EQ(box_.Calls().size(), before + 1) << name;
    EXPECT_EQ(box_.Calls().back().strText,
              QStringLiteral("Cannot recycle \"\\d\\%1\": it is a link that leads outside the "
                             "device or to nothing, so the recycle bin has nothing to keep. The "
                             "link itself can be deleted for good.")
                  .arg(name));
    EXPECT_TRUE(QFileInfo(Host(QStringLiteral("\\d\\%1").arg(name))).isSymLink()) << name;
  }
  EXPECT_EQ(BinFiles(), QStringList());
  QFile in(secret);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  EXPECT_EQ(in.readAll(), "outside");
}

TEST_F(RecycleTest, TheBinItselfIsNeverRecycledEvenInsideARecycledFolder) {
  settings.RecycleBinPath = "\\Docs\\Bin";
  MakeFile("\\Docs\\a.txt", "a");
  MakeFile("\\Docs\\Sub\\b.txt", "b");
  MakeFile("\\Docs\\Bin\\stray.txt", "in the bin");
  EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFolder, "\\Docs"}}), fileops::eRecycleOK);
  EXPECT_EQ(Listing("\\Docs"), QStringList({"Bin"}));  // the bin stays, and so its folder
  EXPECT_EQ(ReadHost("\\Docs\\Bin\\stray.txt"), "in the bin");
  const QStringList dirs =
      QDir(Host("\\Docs\\Bin")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  ASSERT_EQ(dirs.size(), 1);
  EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFile, "\\Docs\\Bin\\stray.txt"}}),
            fileops::eRecycleInBin);
  EXPECT_EQ(fileops::RecycleItemsCommand({{eSelFolder, "\\docs\\bin"}}), fileops::eRecycleInBin);
  EXPECT_EQ(ReadHost("\\Docs\\Bin\\stray.txt"), "in the bin");
  EXPECT_EQ(fileops::RestoreItems({{eSelFolder, "\\Docs\\Bin\\" + dirs[0]}}),
            fileops::eRestoreOK);
  EXPECT_EQ(Listing("\\Docs"), QStringList({"Bin", "Sub", "a.txt"}));
  EXPECT_EQ(ReadHost("\\Docs\\Sub\\b.txt"), "b");
}

// Writes a file of 4 GiB and more: run on demand with --gtest_also_run_disabled_tests.
TEST_F(RecycleTest, DISABLED_AContainerOf4GiBAndMoreRestoresWhole) {
  const quint64 size = (quint64(1) << 32) + 3;
  CRecycleRecord record = RecordFor("\\d\\huge.bin", "huge.bin", size);
  const QString container = WriteContainer(
      "huge.trb", fileops::EncodeContainerHeader(1) + fileops::EncodeRecord(record));
  {
    // A sparse container: only its last three bytes hold data.
    QFile f(Host(container));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(1124 + size - 3));
    ASSERT_TRUE(f.seek(1124 + size - 3));
    ASSERT_EQ(f.write("end"), 3);
  }
  MakeFolder("\\d");
  EXPECT_EQ(fileops::RestoreItems({{eSelFile, container}}), fileops::eRestoreOK);
  QFile restored(Host("\\d\\huge.bin"));
  EXPECT_EQ(static_cast<quint64>(restored.size()), size);
  ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
  ASSERT_TRUE(restored.seek(size - 3));
  EXPECT_EQ(restored.read(3), "end");
  EXPECT_FALSE(ExistsHost(container));
}

TEST_F(RecycleTest, TheFileStepsRefuseWhatTheyCannotRecycle) {
  MakeFolder("\\folder");
  MakeFile("\\a.bin", "a");
  EXPECT_EQ(fileops::RecycleFile("", "\\Bin"), fileops::eRecycleEmptyPath);
  EXPECT_EQ(fileops::RecycleFile("\\missing.txt", "\\Bin"), fileops::eRecycleNoFile);
  EXPECT_EQ(fileops::RecycleFile("\\folder", "\\Bin"), fileops::eRecycleIsFolder);
  EXPECT_EQ(fileops::RecycleFolder("\\missing", "\\Bin"), fileops::eRecycleIsFolder);
  EXPECT_EQ(fileops::RecycleFile("\\a.bin", "\\NoBin"), fileops::eRecycleNoContainer);
  EXPECT_EQ(ReadHost("\\a.bin"), "a");
  EXPECT_EQ(Listing("\\Bin"), QStringList());
}

}  // namespace
