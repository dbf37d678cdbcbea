// The encrypt and decrypt commands on a real temporary root: outputs and deleted sources, the
// windows and boxes they show, cancel, wrong passwords, refusals before anything is written,
// selections with folders, and the order of flush, rename and delete.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <unistd.h>

#include <vector>

#include <gtest/gtest.h>

#include "crypto/enc_commands.h"
#include "crypto/password_prompt.h"
#include "core/view_notify.h"
#include "platform/errors.h"
#include "platform/fault_injection.h"
#include "support/scripted_message_box.h"
#include "support/scripted_password_prompt.h"
#include "support/scripted_progress.h"
#include "support/temp_root.h"
#include "support/view_recorder.h"

namespace {

using crypto::ECryptDirection;
using fileops::CSelection;
using fileops::CViewChange;
using fileops::EViewChange;
using plat::CFaultInjector;
using plat::CFileOpEvent;
using plat::EFaultOp;

const QString kPassword = QStringLiteral("s3cret-pass");

using test::CViewRecorder;

QByteArray Pattern(int size, quint32 seed = 11) {
  QByteArray data(size, Qt::Uninitialized);
  QRandomGenerator random(seed);
  for (char& c : data) c = char(random.bounded(256));
  return data;
}

class EncCommandsTest : public test::TempRoot {
 protected:
  QStringList Listing(const QString& devicePath) const {
    return QDir(Host(devicePath)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                            QDir::Name);
  }
  // Encrypts a file with kPassword, keeping the source.
  void Encrypt(const QString& path, const QString& password = kPassword) {
    test::CScriptedPasswordPrompt prompt;
    prompt.QueuePassword(password, false);
    ASSERT_TRUE(crypto::EncryptFileCommand(path, prompt));
  }
  std::vector<test::CScriptedMessageBox::CCall> Boxes() const { return box_.Calls(); }

  test::CScriptedMessageBox box_;
  test::CScriptedProgress progress_;
  test::CScriptedPasswordPrompt prompt_;
  CViewRecorder views_;
  fileops::CScopedViewListener listen_{&views_};
};

TEST(PasswordRules, MessagesOfEachRule) {
  const QString tooShort = "Password is too short. Enter minimum 6 symbols.";
  const QString tooLong = "Password is too long. Enter maximum 40 symbols.";
  const QString mismatch = "The passwords you entered do not match.";
  struct Case {
    ECryptDirection direction;
    QString password, confirm, message;
  };
  const Case cases[] = {
      {ECryptDirection::eEncrypt, "abcdef", "abcdef", ""},
      {ECryptDirection::eEncrypt, "abcdef", "abcdeF", mismatch},
      {ECryptDirection::eEncrypt, "abcde", "abcdef", mismatch},  // the match is checked first
      {ECryptDirection::eEncrypt, "abcde", "abcde", tooShort},
      {ECryptDirection::eEncrypt, QString(40, 'x'), QString(40, 'x'), ""},
      {ECryptDirection::eEncrypt, QString(41, 'x'), QString(41, 'x'), tooLong},
      {ECryptDirection::eDecrypt, "abcdef", "", ""},
      {ECryptDirection::eDecrypt, "abcde", "abcde", tooShort},
      {ECryptDirection::eDecrypt, QString(41, 'x'), "", tooLong},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.password.toStdString());
    EXPECT_EQ(crypto::PasswordRuleMessage(c.direction, c.password, c.confirm), c.message);
  }
  // 40 characters that take more than 72 bytes cannot all reach the key.
  EXPECT_TRUE(crypto::PasswordRuleMessage(ECryptDirection::eEncrypt, QString(37, QChar(0xE9)),
                                          QString(37, QChar(0xE9)))
                  .contains("72 bytes"));
}

TEST_F(EncCommandsTest, RefusedEntriesShowTheRuleAndTheNextEntryIsUsed) {
  const QByteArray content = Pattern(1000);
  const QString path = MakeFile("\\a.txt", content);
  prompt_.QueueEntry("abcdef", "abcdeX");
  prompt_.QueuePassword(QString(41, 'p'));
  prompt_.QueuePassword(kPassword, false);
  EXPECT_TRUE(crypto::EncryptFileCommand(path, prompt_));
  EXPECT_EQ(prompt_.EntriesTried(), 3);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].nKind, eMsgKindWarning);
  EXPECT_EQ(boxes[0].strTitle, "Passwords");
  EXPECT_EQ(boxes[0].strText, "The passwords you entered do not match.");
  EXPECT_EQ(boxes[1].strText, "Password is too long. Enter maximum 40 symbols.");
  EXPECT_TRUE(ExistsHost("\\a.txt.enc"));
}

// Encrypt with the delete box checked, decrypt with it cleared, and the other way round.
TEST_F(EncCommandsTest, RoundTripWithTheDeleteBoxOnAndOff) {
  struct Case {
    bool bDeleteOnEncrypt, bDeleteOnDecrypt;
  };
  for (const Case c : {Case{true, false}, Case{false, true}}) {
    SCOPED_TRACE(c.bDeleteOnEncrypt);
    const QByteArray content = Pattern(10000);
    const QString path = MakeFile("\\docs\\a.txt", content);
    views_.changes.clear();
    prompt_.QueuePassword(kPassword, c.bDeleteOnEncrypt);
    ASSERT_TRUE(crypto::EncryptFileCommand(path, prompt_));
    EXPECT_EQ(ReadHost("\\docs\\a.txt.enc").size(), 40 + 10000);
    EXPECT_EQ(ExistsHost(path), !c.bDeleteOnEncrypt);
    std::vector<CViewChange> expected = {{EViewChange::eItemAdded, "\\docs\\a.txt.enc", {}}};
    if (c.bDeleteOnEncrypt) expected.push_back({EViewChange::eItemRemoved, path, {}});
    EXPECT_EQ(views_.changes, expected);

    if (!c.bDeleteOnEncrypt) QFile::remove(Host(path));
    views_.changes.clear();
    prompt_.QueuePassword(kPassword, c.bDeleteOnDecrypt);
    ASSERT_TRUE(crypto::DecryptFileCommand("\\docs\\a.txt.enc", prompt_));
    EXPECT_EQ(ReadHost(path), content);
    EXPECT_EQ(ExistsHost("\\docs\\a.txt.enc"), !c.bDeleteOnDecrypt);
    expected = {{EViewChange::eItemAdded, path, {}}};
    if (c.bDeleteOnDecrypt) expected.push_back({EViewChange::eItemRemoved, "\\docs\\a.txt.enc", {}});
    EXPECT_EQ(views_.changes, expected);
    QDir(Host("\\docs")).removeRecursively();
  }
  EXPECT_TRUE(Boxes().empty());
}

// Decrypting next to a file of the decrypted name replaces it only when the user says Yes,
// alone and inside a selection; No keeps both files as they were.
TEST_F(EncCommandsTest, DecryptingOverAnExistingFileAsksFirst) {
  const QByteArray secret = Pattern(5000);
  const QString path = MakeFile("\\docs\\a.txt", secret);
  Encrypt(path);
  const QByteArray enc = ReadHost("\\docs\\a.txt.enc");
  struct Case {
    bool bSelection;
    int nAnswer;
  };
  for (const Case c : {Case{false, eMsgAnsNo}, Case{true, eMsgAnsNo}, Case{false, eMsgAnsYes},
                       Case{true, eMsgAnsYes}}) {
    SCOPED_TRACE(testing::Message() << c.bSelection << " " << c.nAnswer);
    MakeFile(path, "newer notes");
    const size_t nBoxesBefore = Boxes().size();
    box_.QueueAnswer(c.nAnswer);
    prompt_.QueuePassword(kPassword, false);
    if (c.bSelection) {
      MakeFile("\\docs\\other.txt", "o");
      crypto::DecryptItemsCommand({{fileops::eSelFolder, "\\docs"}}, prompt_);
      QFile::remove(Host("\\docs\\other.txt"));
    } else {
      EXPECT_EQ(crypto::DecryptFileCommand("\\docs\\a.txt.enc", prompt_), c.nAnswer == eMsgAnsYes);
    }
    EXPECT_EQ(ReadHost(path), c.nAnswer == eMsgAnsYes ? secret : QByteArray("newer notes"));
    EXPECT_EQ(ReadHost("\\docs\\a.txt.enc"), enc);
    const auto boxes = Boxes();
    ASSERT_GT(boxes.size(), nBoxesBefore);
    EXPECT_EQ(boxes[nBoxesBefore].strTitle, "Replace Existing File");
    EXPECT_TRUE(boxes[nBoxesBefore].strText.contains("a.txt"));
  }
}

TEST_F(EncCommandsTest, SingleFileWindowsShowTheirTextsAndTheFileOnTheBar) {
  const QString path = MakeFile("\\docs\\notes.txt", Pattern(9000));
  prompt_.QueuePassword(kPassword, false);
  ASSERT_TRUE(crypto::EncryptFileCommand(path, prompt_));
  ASSERT_TRUE(QFile::rename(Host("\\docs\\notes.txt.enc"), Host("\\docs\\notes.txt.ENC")));
  QFile::remove(Host(path));
  prompt_.QueuePassword(kPassword, false);
  ASSERT_TRUE(crypto::DecryptFileCommand("\\docs\\notes.txt.ENC", prompt_));
  EXPECT_EQ(ReadHost(path).size(), 9000);  // notes.txt.ENC gives notes.txt

  const auto& windows = progress_.Windows();
  ASSERT_EQ(windows.size(), 2u);
  struct Expected {
    const char *title, *caption, *file;
  };
  const Expected expected[] = {
      {"File encryption", "Encrypt file in progress", "notes.txt"},
      {"File decryption", "Decrypt file in progress", "\\docs\\notes.txt.ENC"},
  };
  for (size_t i = 0; i < 2; ++i) {
    const test::CProgressRecord& w = windows[i];
    EXPECT_EQ(w.kind, fileops::eProgressSingle);
    EXPECT_EQ(w.uIcon1, 370u);
    EXPECT_EQ(w.uIcon2, 369u);
    EXPECT_EQ(w.strTitle, expected[i].title);
    EXPECT_EQ(w.strCaption, expected[i].caption);
    EXPECT_EQ(w.strFile, expected[i].file);
    EXPECT_TRUE(w.bCancelShown);
    EXPECT_TRUE(w.bClosed);
    EXPECT_EQ(w.bar.uMax, 9000u);
    EXPECT_EQ(w.bar.uPos, 9000u);  // the padding of the last block does not overrun the bar
  }
  EXPECT_EQ(prompt_.Asked(), (std::vector{ECryptDirection::eEncrypt, ECryptDirection::eDecrypt}));
}

TEST_F(EncCommandsTest, CancelInTheMiddleLeavesNoOutputAndTheSourceUntouched) {
  const QByteArray content = Pattern(64 * 1024);
  const QString path = MakeFile("\\a.txt", content);
  prompt_.QueuePassword(kPassword, true);
  progress_.CancelAfterPositionUpdates(4);  // the range's SetPos(0) and three chunks
  EXPECT_FALSE(crypto::EncryptFileCommand(path, prompt_));
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt"}));
  EXPECT_EQ(ReadHost(path), content);
  EXPECT_TRUE(Boxes().empty());  // a cancel is not an error
  EXPECT_TRUE(views_.changes.empty());
  ASSERT_EQ(progress_.Windows().size(), 1u);
  EXPECT_LT(progress_.Windows()[0].bar.uPos, 64u * 1024);

  // The same for a decryption.
  progress_.CancelAfterPositionUpdates(1 << 30);  // the scripted Cancel stays pressed until moved
  Encrypt(path);
  const QByteArray encrypted = ReadHost("\\a.txt.enc");
  QFile::remove(Host(path));
  prompt_.QueuePassword(kPassword, true);
  progress_.CancelAfterPositionUpdates(4);
  EXPECT_FALSE(crypto::DecryptFileCommand("\\a.txt.enc", prompt_));
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt.enc"}));
  EXPECT_EQ(ReadHost("\\a.txt.enc"), encrypted);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(EncCommandsTest, WrongPasswordGivesNoOutputAndItsMessage) {
  const QString path = MakeFile("\\a.txt", Pattern(5000));
  Encrypt(path);
  QFile::remove(Host(path));
  const QByteArray encrypted = ReadHost("\\a.txt.enc");
  prompt_.QueuePassword("not-the-password", true);
  EXPECT_FALSE(crypto::DecryptFileCommand("\\a.txt.enc", prompt_));
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt.enc"}));
  EXPECT_EQ(ReadHost("\\a.txt.enc"), encrypted);
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].nKind, eMsgKindError);
  EXPECT_EQ(boxes[0].strText, "Error decrypting file: bad password!");
  EXPECT_EQ(boxes[0].strTitle, "File decryption");
  EXPECT_EQ(boxes[0].strHeader, "");
}

TEST_F(EncCommandsTest, LongPasswordsMakeAKeyAndRoundTrip) {
  for (int length : {20, 33, 40}) {
    SCOPED_TRACE(length);
    const QString password = QString(length, 'k') + QString::number(length);
    const QString pw = password.left(length);
    const QByteArray content = Pattern(777, length);
    const QString path = MakeFile("\\a.txt", content);
    Encrypt(path, pw);
    QFile::remove(Host(path));
    // A password that differs only in its last character is refused.
    prompt_.QueuePassword(pw.left(length - 1) + 'X', false);
    EXPECT_FALSE(crypto::DecryptFileCommand("\\a.txt.enc", prompt_));
    prompt_.QueuePassword(pw, true);
    ASSERT_TRUE(crypto::DecryptFileCommand("\\a.txt.enc", prompt_));
    EXPECT_EQ(ReadHost(path), content);
    QFile::remove(Host(path));
  }
}

TEST_F(EncCommandsTest, DecryptingANameWithoutEncIsRefusedBeforeAnythingIsOpened) {
  const QByteArray content = Pattern(300);
  for (const QString& name : {QString("\\plain.txt"), QString("\\.enc"), QString("\\x.encx")}) {
    SCOPED_TRACE(name.toStdString());
    MakeFile(name, content);
    CFaultInjector::SetObserver([&](const CFileOpEvent& e) {
      EXPECT_NE(e.op, EFaultOp::eFaultCreate) << e.path.toStdString();
    });
    EXPECT_FALSE(crypto::DecryptFileCommand(name, prompt_));
    CFaultInjector::Reset();
    EXPECT_EQ(ReadHost(name), content);
    const auto boxes = Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().strText, "Error decrypt file " + name + ".");
    EXPECT_EQ(boxes.back().strTitle, "File decryption");
    EXPECT_EQ(boxes.back().strHeader, "Error code: 9");
  }
  EXPECT_TRUE(prompt_.Asked().empty());  // no password is asked for a refused file
  EXPECT_TRUE(progress_.Windows().empty());
  // Activation: only ".enc" files are taken.
  EXPECT_FALSE(crypto::OpenEncryptedFile("\\plain.txt", prompt_));
  EXPECT_TRUE(crypto::OpenEncryptedFile("\\.enc", prompt_));
}

TEST_F(EncCommandsTest, SourceOf4GiBIsRefusedBeforeAnythingIsWritten) {
  const QString path = MakeFile("\\huge.bin");
  ASSERT_TRUE(QFile::resize(Host(path), qint64(1) << 32));  // sparse: no real space used
  EXPECT_FALSE(crypto::EncryptFileCommand(path, prompt_));
  EXPECT_EQ(Listing("\\"), QStringList({"huge.bin"}));
  EXPECT_EQ(QFileInfo(Host(path)).size(), qint64(1) << 32);
  EXPECT_TRUE(prompt_.Asked().empty());
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].strText,
            "Cannot encrypt \\huge.bin: the file is 4 GiB or larger, and an encrypted file can "
            "only hold files smaller than 4 GiB.");

  // One byte less fits (the run itself is not made here: the prompt is cancelled).
  ASSERT_TRUE(QFile::resize(Host(path), (qint64(1) << 32) - 1));
  EXPECT_FALSE(crypto::EncryptFileCommand(path, prompt_));
  EXPECT_EQ(prompt_.Asked().size(), 1u);
  EXPECT_EQ(Boxes().size(), 1u);
}

TEST_F(EncCommandsTest, OutputIsOnDiskBeforeTheSourceIsDeleted) {
  const QString path = MakeFile("\\a.txt", Pattern(5000));
  std::vector<CFileOpEvent> events;
  CFaultInjector::SetObserver([&](const CFileOpEvent& e) { events.push_back(e); });
  prompt_.QueuePassword(kPassword, true);
  ASSERT_TRUE(crypto::EncryptFileCommand(path, prompt_));
  CFaultInjector::Reset();
  std::vector<EFaultOp> order;
  for (const CFileOpEvent& e : events)
    if (e.op == EFaultOp::eFaultFlush || e.op == EFaultOp::eFaultRename ||
        e.op == EFaultOp::eFaultDelete)
      order.push_back(e.op);
  EXPECT_EQ(order, (std::vector{EFaultOp::eFaultFlush, EFaultOp::eFaultRename,
                                EFaultOp::eFaultDelete}));
  EXPECT_EQ(events.back().op, EFaultOp::eFaultDelete);
  EXPECT_EQ(events.back().path, path);
}

TEST_F(EncCommandsTest, FailuresKeepTheSourceAndSayWhy) {
  const QByteArray content = Pattern(20000);
  const QString path = MakeFile("\\a.txt", content);
  struct Case {
    EFaultOp op;
    int nth;
  };
  for (const Case c : {Case{EFaultOp::eFaultWrite, 2}, Case{EFaultOp::eFaultFlush, 1},
                       Case{EFaultOp::eFaultRename, 1}}) {
    SCOPED_TRACE(int(c.op));
    CFaultInjector::FailNth(c.op, c.nth, ERROR_DISK_FULL);
    prompt_.QueuePassword(kPassword, true);
    EXPECT_FALSE(crypto::EncryptFileCommand(path, prompt_));
    CFaultInjector::Reset();
    EXPECT_EQ(Listing("\\"), QStringList({"a.txt"}));
    EXPECT_EQ(ReadHost(path), content);
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back().strText, "Error encrypting file \\a.txt.");
    EXPECT_EQ(Boxes().back().strHeader, "Error code: 13");
  }
  EXPECT_TRUE(views_.changes.empty());

  // A source that cannot be deleted after success stays, silently.
  const size_t boxesBefore = Boxes().size();
  CFaultInjector::FailNth(EFaultOp::eFaultDelete, 1, ERROR_ACCESS_DENIED);
  prompt_.QueuePassword(kPassword, true);
  EXPECT_TRUE(crypto::EncryptFileCommand(path, prompt_));
  CFaultInjector::Reset();
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt", "a.txt.enc"}));
  EXPECT_EQ(Boxes().size(), boxesBefore);
  EXPECT_EQ(views_.changes, (std::vector<CViewChange>{{EViewChange::eItemAdded, "\\a.txt.enc", {}}}));
}

TEST_F(EncCommandsTest, CancelledPromptTouchesNothing) {
  const QString path = MakeFile("\\a.txt", "data");
  EXPECT_FALSE(crypto::EncryptFileCommand(path, prompt_));
  EXPECT_EQ(crypto::EncryptItemsCommand({{fileops::eSelFile, path}, {fileops::eSelFile, path}},
                                        prompt_),
            crypto::eCryptCmdDeclined);
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt"}));
  EXPECT_TRUE(progress_.Windows().empty());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(EncCommandsTest, SelectionWithAFolderEncryptsEveryFileWithOnePassword) {
  MakeFile("\\d\\x.txt", Pattern(5000, 1));
  MakeFile("\\d\\sub\\y.txt", Pattern(100, 2));
  MakeFile("\\d\\sub\\z.enc", Pattern(8, 3));
  MakeFolder("\\d\\empty");
  MakeFile("\\top.txt", Pattern(3000, 4));
  const CSelection selection = {{fileops::eSelFolder, "\\d"}, {fileops::eSelFile, "\\top.txt"}};
  prompt_.QueuePassword(kPassword, true);
  EXPECT_EQ(crypto::EncryptItemsCommand(selection, prompt_), crypto::eCryptCmdOK);
  EXPECT_EQ(prompt_.Asked().size(), 1u);
  EXPECT_EQ(Listing("\\d"), QStringList({"empty", "sub", "x.txt.enc"}));
  EXPECT_EQ(Listing("\\d\\sub"), QStringList({"y.txt.enc", "z.enc.enc"}));
  EXPECT_EQ(Listing("\\"), QStringList({"d", "top.txt.enc"}));
  EXPECT_TRUE(Boxes().empty());

  ASSERT_EQ(progress_.Windows().size(), 1u);
  const test::CProgressRecord& w = progress_.Windows()[0];
  EXPECT_EQ(w.kind, fileops::eProgressMulti);
  EXPECT_EQ(w.uIcon1, 364u);
  EXPECT_EQ(w.uIcon2, 365u);
  EXPECT_EQ(w.strTitle, "Encrypt items");
  EXPECT_EQ(w.strCaption, "Encrypt items in progress");
  EXPECT_EQ(w.TextsOf("SetStatus"),
            QStringList({"Encrypted 0 files from 4 total.", "Encrypted 1 file from 4 total.",
                         "Encrypted 2 files from 4 total.", "Encrypted 3 files from 4 total.",
                         "Encrypted 4 files from 4 total."}));
  const quint64 range = 5000 + 100 + 8 + 3000 + 3 * fileops::kFolderProgressBytes;
  EXPECT_EQ(w.bar.uMax, range);
  EXPECT_EQ(w.bar.uPos, range);
  EXPECT_TRUE(w.bClosed);

  // Every output decrypts with the run's password; a single folder has its own texts.
  prompt_.QueuePassword(kPassword, true);
  EXPECT_EQ(crypto::DecryptItemsCommand({{fileops::eSelFolder, "\\d"}}, prompt_),
            crypto::eCryptCmdOK);
  EXPECT_EQ(ReadHost("\\d\\x.txt"), Pattern(5000, 1));
  EXPECT_EQ(ReadHost("\\d\\sub\\y.txt"), Pattern(100, 2));
  EXPECT_EQ(ReadHost("\\d\\sub\\z.enc"), Pattern(8, 3));  // decrypted once, as it was encrypted
  EXPECT_EQ(Listing("\\d\\sub"), QStringList({"y.txt", "z.enc"}));
  ASSERT_EQ(progress_.Windows().size(), 2u);
  EXPECT_EQ(progress_.Windows()[1].strTitle, "Decrypt");
  EXPECT_EQ(progress_.Windows()[1].strCaption, "Decrypt folder in progress");
  EXPECT_EQ(progress_.Windows()[1].strStatus, "Decrypted 3 files from 3 total.");
}

TEST_F(EncCommandsTest, LinkedFoldersAreNeverEntered) {
  MakeFile("\\target\\t.txt", "t");
  MakeFile("\\d\\x.txt", "x");
  ASSERT_EQ(::symlink(QFile::encodeName(Host("\\target")).constData(),
                      QFile::encodeName(Host("\\d\\inner")).constData()), 0);
  ASSERT_EQ(::symlink(QFile::encodeName(Host("\\target")).constData(),
                      QFile::encodeName(Host("\\outer")).constData()), 0);
  prompt_.QueuePassword(kPassword, true);
  EXPECT_EQ(crypto::EncryptItemsCommand({{fileops::eSelFolder, "\\d"},
                                         {fileops::eSelFolder, "\\outer"}}, prompt_),
            crypto::eCryptCmdFailed);
  EXPECT_EQ(Listing("\\target"), QStringList({"t.txt"}));
  EXPECT_EQ(Listing("\\d"), QStringList({"inner", "x.txt.enc"}));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].strText, "Cannot encrypt the folder \\outer: It is a link to a folder; "
                              "links to folders are not entered.");
}

TEST_F(EncCommandsTest, SeveralEncFilesDecryptWithOnePasswordAndFailuresAreEachReported) {
  MakeFile("\\a.txt", Pattern(100, 1));
  MakeFile("\\b.txt", Pattern(200, 2));
  Encrypt("\\a.txt");
  Encrypt("\\b.txt", "another-password");
  QFile::remove(Host("\\a.txt"));
  QFile::remove(Host("\\b.txt"));
  MakeFile("\\plain.txt", "p");
  const CSelection selection = {{fileops::eSelFile, "\\a.txt.enc"},
                                {fileops::eSelFile, "\\plain.txt"},
                                {fileops::eSelFile, "\\b.txt.enc"}};
  prompt_.QueuePassword(kPassword, true);
  EXPECT_EQ(crypto::DecryptItemsCommand(selection, prompt_), crypto::eCryptCmdFailed);
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt", "b.txt.enc", "plain.txt"}));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].strText, "Error decrypt file \\plain.txt.");
  EXPECT_EQ(boxes[1].strText, "Error decrypting file: bad password!");
  const test::CProgressRecord& w = progress_.Windows().back();
  EXPECT_EQ(w.strTitle, "Decrypt items");
  EXPECT_EQ(w.strCaption, "Decrypt items in progress");
  EXPECT_EQ(w.strStatus, "Decrypted 1 file from 3 total.");

  // A folder with no ".enc" file asks for nothing.
  MakeFile("\\f\\x.txt", "x");
  EXPECT_EQ(crypto::DecryptItemsCommand({{fileops::eSelFolder, "\\f"}}, prompt_),
            crypto::eCryptCmdNothing);
  EXPECT_EQ(Boxes().back().strText, "There is no encrypted file (\".enc\") in the selection.");
  EXPECT_EQ(prompt_.Asked().size(), 1u);
}

TEST_F(EncCommandsTest, CancelEndsASelectionRunAndTheFileInProgressLeavesNothing) {
  MakeFile("\\d\\1.bin", Pattern(20000, 1));
  MakeFile("\\d\\2.bin", Pattern(20000, 2));
  MakeFile("\\d\\3.bin", Pattern(20000, 3));
  prompt_.QueuePassword(kPassword, true);
  // Position updates: the run's start and the folder (2); per file the item bar's start and
  // the engine's range (2), five chunks that move both bars (10), the file's end (1). The
  // 20th is the second chunk of the second file.
  progress_.CancelAfterPositionUpdates(2 + 13 + 5);
  EXPECT_EQ(crypto::EncryptItemsCommand({{fileops::eSelFolder, "\\d"}}, prompt_),
            crypto::eCryptCmdCancelled);
  // The folder's files are taken in the host's order: one was encrypted, two are as they were.
  const QStringList left = Listing("\\d");
  ASSERT_EQ(left.size(), 3) << left.join(' ').toStdString();  // no temporary file either
  EXPECT_EQ(left.filter(".enc").size(), 1);
  for (quint32 seed : {1u, 2u, 3u}) {
    const QString name = QStringLiteral("\\d\\%1.bin").arg(seed);
    EXPECT_TRUE(ExistsHost(name + ".enc") || ReadHost(name) == Pattern(20000, seed)) << seed;
  }
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace

namespace {

// The output's folder entry reaches the disk before the source goes, through the fault seam:
// for one file and for a selection, in both directions; a failed folder flush keeps the
// source next to its complete output.
TEST_F(EncCommandsTest, TheOutputsFolderIsFlushedBeforeTheSourceIsDeleted) {
  const QByteArray content = Pattern(5000);
  for (const bool bSelection : {false, true}) {
    for (const bool bEncrypt : {true, false}) {
      SCOPED_TRACE(testing::Message() << (bSelection ? "selection " : "one file ")
                                      << (bEncrypt ? "encrypt" : "decrypt"));
      MakeFile("\\d\\a.txt", content);
      if (!bEncrypt) {
        Encrypt("\\d\\a.txt");
        ASSERT_TRUE(QFile::remove(Host("\\d\\a.txt")));
      }
      const QString source = bEncrypt ? "\\d\\a.txt" : "\\d\\a.txt.enc";
      const QString output = bEncrypt ? "\\d\\a.txt.enc" : "\\d\\a.txt";
      const auto run = [&] {
        prompt_.QueuePassword(kPassword, true);
        const CSelection selection{{fileops::eSelFolder, "\\d"}};
        if (bSelection)
          return (bEncrypt ? crypto::EncryptItemsCommand(selection, prompt_)
                           : crypto::DecryptItemsCommand(selection, prompt_)) ==
                 crypto::eCryptCmdOK;
        return bEncrypt ? crypto::EncryptFileCommand(source, prompt_)
                        : crypto::DecryptFileCommand(source, prompt_);
      };
      CFaultInjector::FailNth(EFaultOp::eFaultFlushFolder, 1, ERROR_IO_DEVICE);
      EXPECT_TRUE(run());
      CFaultInjector::Reset();
      EXPECT_TRUE(QFile::exists(Host(source)));
      EXPECT_TRUE(QFile::exists(Host(output)));
      ASSERT_TRUE(QFile::remove(Host(output)));

      std::vector<CFileOpEvent> events;
      CFaultInjector::SetObserver([&](const CFileOpEvent& e) { events.push_back(e); });
      EXPECT_TRUE(run());
      CFaultInjector::Reset();
      std::vector<std::pair<EFaultOp, QString>> order;
      for (const CFileOpEvent& e : events)
        if (e.op == EFaultOp::eFaultRename || e.op == EFaultOp::eFaultFlushFolder ||
            e.op == EFaultOp::eFaultDelete)
          order.push_back({e.op, e.path});
      EXPECT_EQ(order, (std::vector<std::pair<EFaultOp, QString>>{
                           {EFaultOp::eFaultRename, output},
                           {EFaultOp::eFaultFlushFolder, "\\d"},
                           {EFaultOp::eFaultDelete, source}}));
      EXPECT_EQ(ReadHost(output), bEncrypt ? ReadHost(output) : content);
      QDir(Host("\\d")).removeRecursively();
    }
  }
}

}  // namespace
