// pinbro-cli encrypt and decrypt, run as the built program on a temporary root and hive: the
// password from --password-file, --keep, wrong passwords and refusals that exit 1 and leave no
// output, and folders in the selection.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/temp_root.h"

namespace {

using test::CRun;

class CliCryptTest : public test::TempRootAndHive {
 protected:
  CRun Cli(const QStringList& args) { return test::RunCli(dir_.path(), HiveFile(), args); }
  // A password file outside the device root.
  QString PasswordFile(const QByteArray& content) {
    const QString path = pwDir_.filePath(QStringLiteral("pw%1").arg(++files_));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
  }
  QStringList Listing(const QString& devicePath) const {
    return QDir(Host(devicePath)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
  }

  QTemporaryDir pwDir_;
  int files_ = 0;
};

TEST_F(CliCryptTest, EncryptKeepThenDecryptWithWrongAndRightPassword) {
  const QByteArray content(10000, 'a');
  MakeFile("\\a.txt", content);
  // The first line without its line end is the password.
  const QString pw = PasswordFile("s3cret-pass\r\nsecond line\n");
  const CRun encrypt = Cli({"--password-file", pw, "encrypt", "\\a.txt", "--keep"});
  EXPECT_EQ(encrypt.exitCode, 0) << encrypt.err.toStdString();
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt", "a.txt.enc"}));
  EXPECT_EQ(ReadHost("\\a.txt.enc").size(), 40 + 10000);
  ASSERT_TRUE(QFile::remove(Host("\\a.txt")));

  const CRun wrong =
      Cli({"--password-file", PasswordFile("wrong-pass\n"), "decrypt", "\\a.txt.enc"});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(wrong.err, "File decryption: Error decrypting file: bad password!\n");
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt.enc"}));

  const CRun right = Cli({"--password-file", PasswordFile("s3cret-pass"), "decrypt", "\\a.txt.enc"});
  EXPECT_EQ(right.exitCode, 0) << right.err.toStdString();
  EXPECT_EQ(Listing("\\"), QStringList({"a.txt"}));  // without --keep the source is gone
  EXPECT_EQ(ReadHost("\\a.txt"), content);
}

TEST_F(CliCryptTest, RefusalsExitOneAndChangeNothing) {
  MakeFile("\\plain.txt", "p");
  struct Case {
    QStringList args;
    int exitCode;
    QString err;  // how standard error begins
  };
  const QString good = PasswordFile("s3cret-pass\n");
  const Case cases[] = {
      {{"encrypt", "\\plain.txt"}, 1, "pinbro-cli: No password was given; nothing was encrypted.\n"},
      {{"--password-file", PasswordFile("short\n"), "encrypt", "\\plain.txt"}, 1,
       "Passwords: Password is too short. Enter minimum 6 symbols.\n"
       "pinbro-cli: No password was given; nothing was encrypted.\n"},
      {{"--password-file", good, "decrypt", "\\plain.txt"}, 1,
       "File decryption: Error code: 9: Error decrypt file \\plain.txt.\n"},
      {{"--password-file", good, "encrypt", "\\missing.txt"}, 1,
       "pinbro-cli: Could not encrypt \\missing.txt: there is no such file or folder.\n"},
      {{"--password-file", pwDir_.filePath("none"), "encrypt", "\\plain.txt"}, 1,
       "pinbro-cli: Could not read the password file " + pwDir_.filePath("none") + ": "},
      {{"encrypt", "--keep"}, 2, "usage: pinbro-cli encrypt FILE... [--keep]\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const CRun run = Cli(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_TRUE(run.err.startsWith(c.err)) << run.err.toStdString();
    EXPECT_EQ(Listing("\\"), QStringList({"plain.txt"}));
    EXPECT_EQ(ReadHost("\\plain.txt"), "p");
  }
}

TEST_F(CliCryptTest, FoldersAndSeveralFilesWithOnePassword) {
  MakeFile("\\d\\x.txt", "x");
  MakeFile("\\d\\sub\\y.txt", "y");
  MakeFile("\\z.txt", "z");
  const QString pw = PasswordFile("s3cret-pass\n");
  const CRun encrypt = Cli({"--quiet", "--password-file", pw, "encrypt", "\\d", "\\z.txt"});
  EXPECT_EQ(encrypt.exitCode, 0) << encrypt.err.toStdString();
  EXPECT_EQ(Listing("\\"), QStringList({"d", "z.txt.enc"}));
  EXPECT_EQ(Listing("\\d"), QStringList({"sub", "x.txt.enc"}));
  EXPECT_EQ(Listing("\\d\\sub"), QStringList({"y.txt.enc"}));

  const CRun decrypt = Cli({"--quiet", "--password-file", pw, "decrypt", "\\d", "--keep"});
  EXPECT_EQ(decrypt.exitCode, 0) << decrypt.err.toStdString();
  EXPECT_EQ(Listing("\\d"), QStringList({"sub", "x.txt", "x.txt.enc"}));
  EXPECT_EQ(ReadHost("\\d\\sub\\y.txt"), "y");
}

}  // namespace
