// Handing a host file to the desktop's programs: which program F3 and F4 start for a text
// file and for any other file, from the user's settings and the tools found.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/shell_open.h"

namespace {

using plat::CShellCommand;
using plat::EShellOpen;

class ShellOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    text_ = dir_.filePath("notes.txt");
    image_ = dir_.filePath("picture.png");
    QFile text(text_);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("plain words\n");
    text.close();
    QFile image(image_);
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write(QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"));
    image.close();
  }
  static QString Line(const CShellCommand& command) {
    return (QStringList{command.strProgram} + command.args).join(u'|');
  }

  QTemporaryDir dir_;
  QString text_;
  QString image_;
};

TEST_F(ShellOpenTest, TheCommandForEachFileAndSetting) {
  const plat::CShellTools tools{"/usr/bin/xdg-open", "/usr/bin/x-terminal-emulator"};
  const plat::CShellTools noTerminal{"/usr/bin/xdg-open", ""};
  const struct {
    const char* name;
    bool bText;
    EShellOpen how;
    QStringList env;  // NAME=value
    plat::CShellTools tools;
    QString expected;  // with %1 for the file
  } cases[] = {
      {"edit: VISUAL, with its own arguments", true, EShellOpen::eEdit,
       {"VISUAL=gvim -f", "EDITOR=nano"}, tools, "gvim|-f|%1"},
      {"edit: EDITOR runs in the terminal", true, EShellOpen::eEdit, {"EDITOR=nano"}, tools,
       "/usr/bin/x-terminal-emulator|-e|nano|%1"},
      {"edit: no editor set", true, EShellOpen::eEdit, {}, tools, "/usr/bin/xdg-open|%1"},
      {"edit: EDITOR but no terminal", true, EShellOpen::eEdit, {"EDITOR=nano"}, noTerminal,
       "/usr/bin/xdg-open|%1"},
      {"edit: an image is no text", false, EShellOpen::eEdit, {"VISUAL=gvim"}, tools,
       "/usr/bin/xdg-open|%1"},
      {"view: less in the terminal", true, EShellOpen::eView, {}, tools,
       "/usr/bin/x-terminal-emulator|-e|less|%1"},
      {"view: the user's PAGER", true, EShellOpen::eView, {"PAGER=most -s"}, tools,
       "/usr/bin/x-terminal-emulator|-e|most|-s|%1"},
      {"view: no terminal", true, EShellOpen::eView, {}, noTerminal, "/usr/bin/xdg-open|%1"},
      {"view: an image", false, EShellOpen::eView, {}, tools, "/usr/bin/xdg-open|%1"},
      {"open: a text file", true, EShellOpen::eOpen, {"VISUAL=gvim"}, tools, "/usr/bin/xdg-open|%1"},
      {"nothing to start", true, EShellOpen::eEdit, {}, {"", ""}, ""},
  };
  for (const auto& c : cases) {
    QProcessEnvironment environment;
    for (const QString& strPair : c.env)
      environment.insert(strPair.section(u'=', 0, 0), strPair.section(u'=', 1));
    const QString strFile = c.bText ? text_ : image_;
    const QString strExpected = c.expected.isEmpty() ? QString() : c.expected.arg(strFile);
    const CShellCommand command = plat::ShellOpenCommand(strFile, c.how, environment, c.tools);
    EXPECT_EQ(command.strProgram.isEmpty() ? QString() : Line(command), strExpected) << c.name;
  }
}

TEST_F(ShellOpenTest, AFileNameIsOneArgumentWhateverItHolds) {
  // Blanks, quotes and shell characters reach the program untouched, as one argument.
  const QString strOdd = dir_.filePath("a b'; rm -rf x $(y).txt");
  QFile odd(strOdd);
  ASSERT_TRUE(odd.open(QIODevice::WriteOnly));
  odd.write("text\n");
  odd.close();
  QProcessEnvironment environment;
  environment.insert("VISUAL", "gvim");
  const CShellCommand command =
      plat::ShellOpenCommand(strOdd, EShellOpen::eEdit, environment, {"/usr/bin/xdg-open", ""});
  EXPECT_EQ(command.strProgram, "gvim");
  EXPECT_EQ(command.args, QStringList{strOdd});
}

}  // namespace
