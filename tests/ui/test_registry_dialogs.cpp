// The registry editor's desktop dialogs driven by keys under offscreen (the DWORD dialog's
// filter, base list and spin button; the multi-string and byte dialogs; a name dialog that
// stays open until its name is taken), and the registry commands in the main frame: the
// context menus of a key's list and of a key node, Enter on a value opening its dialog, F2,
// Delete with its question, and the list following each change.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolBar>

#include "browse/folder_tree.h"
#include "registry/registry_access.h"
#include "support/scripted_message_box.h"
#include "tests/ui/main_frame_fixture.h"
#include "ui/registry_dialogs.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

QPushButton* Ok(CDlg_RegValueBase& dialog) {
  return dialog.Buttons()->button(QDialogButtonBox::Ok);
}

TEST(RegistryDialogs, DwordDialogFiltersTypingSwitchesBasesAndSpins) {
  CDlg_RegDword dialog({"New Value 1", true, 255, 2});
  dialog.show();
  EXPECT_FALSE(dialog.NameEdit()->isReadOnly());
  QLineEdit* pValue = dialog.ValueEdit();
  EXPECT_EQ(pValue->text(), "255");
  dialog.BaseList()->setCurrentIndex(3);
  EXPECT_EQ(pValue->text(), "FF");
  dialog.BaseList()->setCurrentIndex(0);
  EXPECT_EQ(pValue->text(), "11111111");

  pValue->clear();
  QTest::keyClicks(pValue, "1012");
  EXPECT_EQ(pValue->text(), "101");
  EXPECT_EQ(dialog.State().value, 5u);
  EXPECT_TRUE(Ok(dialog)->isEnabled());
  pValue->selectAll();
  QTest::keyClick(pValue, Qt::Key_Backspace);
  EXPECT_FALSE(Ok(dialog)->isEnabled());
  EXPECT_EQ(dialog.State().value, 0u);

  dialog.BaseList()->setCurrentIndex(2);
  pValue->selectAll();
  QTest::keyClicks(pValue, "-5");
  EXPECT_EQ(pValue->text(), "5");
  dialog.Spin()->stepDown();
  EXPECT_EQ(pValue->text(), "4");
  EXPECT_EQ(dialog.Spin()->value(), 0);
  dialog.BaseList()->setCurrentIndex(3);
  for (int i = 0; i < 5; ++i) dialog.Spin()->stepDown();
  EXPECT_EQ(pValue->text(), "FFFFFFFF");
  EXPECT_EQ(dialog.State().value, 0xFFFFFFFFu);
  EXPECT_EQ(dialog.State().base, 3u);

  CDlg_RegDword modify({"Count", false, 7, 2});
  EXPECT_TRUE(modify.NameEdit()->isReadOnly());
}

TEST(RegistryDialogs, MultiStringAndByteDialogsGiveTheirData) {
  CDlg_RegMultiString multi({"M", false, "a\r\nb"});
  EXPECT_EQ(multi.ValueEdit()->toPlainText(), "a\nb");
  multi.ValueEdit()->moveCursor(QTextCursor::End);
  QTest::keyClick(multi.ValueEdit(), Qt::Key_Return);
  QTest::keyClicks(multi.ValueEdit(), "c");
  EXPECT_EQ(multi.State().text, "a\r\nb\r\nc");

  CDlg_RegBinary binary({"B", QByteArray("\x00\x01\xfe", 3)});
  EXPECT_EQ(binary.ValueEdit()->toPlainText(), "00 01 fe");
  binary.ValueEdit()->moveCursor(QTextCursor::End);
  QTest::keyClicks(binary.ValueEdit(), " f");
  EXPECT_FALSE(Ok(binary)->isEnabled());  // half a byte
  QTest::keyClicks(binary.ValueEdit(), "f");
  EXPECT_TRUE(Ok(binary)->isEnabled());
  EXPECT_EQ(binary.State().data, QByteArray("\x00\x01\xfe\xff", 4));
}

TEST(RegistryDialogs, NameDialogStaysOpenUntilItsNameIsTaken) {
  QStringList tried;
  CDlg_RegName dialog("New key", "New registry key", "Key name:", QString(),
                      [&](const QString& name) {
                        tried << name;
                        return name == "good";
                      });
  dialog.show();
  QTest::keyClicks(dialog.NameEdit(), "bad");
  QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  dialog.NameEdit()->setText("good");
  QTest::keyClick(dialog.NameEdit(), Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(tried, QStringList({"bad", "good"}));
}

class RegistryFrameTest : public MainFrameTest {
 protected:
  // Lists HKLM\Software\Edit in panel A's list through the address bar.
  void ShowKey() {
    auto* pAddress = frame_->findChild<QToolBar*>("addressBar")->findChild<QLineEdit*>();
    ASSERT_NE(pAddress, nullptr);
    pAddress->setFocus();
    pAddress->setText("HKEY_LOCAL_MACHINE\\Software\\Edit");
    QTest::keyClick(pAddress, Qt::Key_Return);
    ASSERT_EQ(frame_->AddressText(), "HKEY_LOCAL_MACHINE\\Software\\Edit");
    Focused(ePanel_A)->setFocus();
  }
  // Answers the next modal dialog with a function of it, once it shows.
  template <typename Dialog>
  void WhenShown(std::function<void(Dialog*)> answer) {
    QTimer::singleShot(0, [answer] {
      for (QWidget* pWidget : QApplication::topLevelWidgets())
        if (auto* pDialog = qobject_cast<Dialog*>(pWidget); pDialog && pDialog->isVisible()) {
          answer(pDialog);
          return;
        }
      ADD_FAILURE() << "no dialog";
    });
  }
  test::CScriptedMessageBox box;
};

TEST_F(RegistryFrameTest, MenusEnterF2AndDeleteEditTheRegistryAndTheListFollows) {
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Edit", "Count", 7));
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Edit\\Sub"), eCreateKey_Created);
  StartFrame();
  ShowKey();
  QList<QAction*> menu = frame_->ContextMenuActions(eView_ListA);
  for (int nId : {eCmd_Modify, eCmd_NewKey, eCmd_NewDwordValue, eCmd_NewStringValue,
                  eCmd_NewMultiStringValue, eCmd_Rename, eCmd_Delete, eCmd_Export, eCmd_Import})
    EXPECT_TRUE(menu.contains(frame_->Action(nId))) << nId;

  // Enter on the value opens the DWORD dialog; OK writes and the row shows the new number.
  FocusRow(ePanel_A, "Count");
  WhenShown<CDlg_RegDword>([](CDlg_RegDword* p) {
    p->ValueEdit()->selectAll();
    QTest::keyClicks(p->ValueEdit(), "42");
    p->accept();
  });
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Return);
  DWORD number = 0;
  ASSERT_TRUE(ReadDword(HKEY_LOCAL_MACHINE, "Software\\Edit", "Count", &number));
  EXPECT_EQ(number, 42u);
  QApplication::processEvents();
  ASSERT_GE(RowOf(ePanel_A, "Count"), 0);
  EXPECT_EQ(frame_->List(ePanel_A).CellText(RowOf(ePanel_A, "Count"), 2), "42");

  // New string value from the menu.
  WhenShown<CDlg_RegString>([](CDlg_RegString* p) {
    QTest::keyClicks(p->ValueEdit(), "hello");
    p->accept();
  });
  Trigger(eCmd_NewStringValue);
  QApplication::processEvents();
  ASSERT_GE(RowOf(ePanel_A, "New Value 1"), 0);
  EXPECT_EQ(frame_->List(ePanel_A).CellText(RowOf(ePanel_A, "New Value 1"), 2), "hello");

  // F2 renames the value.
  FocusRow(ePanel_A, "New Value 1");
  WhenShown<CDlg_RegName>([](CDlg_RegName* p) {
    p->NameEdit()->setText("Greeting");
    p->accept();
  });
  QTest::keyClick(Focused(ePanel_A), Qt::Key_F2);
  QApplication::processEvents();
  EXPECT_EQ(RowOf(ePanel_A, "New Value 1"), -1);
  EXPECT_GE(RowOf(ePanel_A, "Greeting"), 0);

  // Delete on the subkey asks the question; Yes deletes it and its row goes.
  FocusRow(ePanel_A, "Sub");
  box.QueueAnswer(eMsgAnsYes);
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Delete);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strTitle, "Confirm registry key delete");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Edit\\Sub"));
  QApplication::processEvents();
  EXPECT_EQ(RowOf(ePanel_A, "Sub"), -1);

  // Shift+Delete on a value is the registry's delete too, never a file delete.
  FocusRow(ePanel_A, "Greeting");
  box.QueueAnswer(eMsgAnsYes);
  QTest::keyClick(Focused(ePanel_A), Qt::Key_Delete, Qt::ShiftModifier);
  ASSERT_EQ(box.Calls().size(), 2u);
  EXPECT_EQ(box.Calls()[1].strTitle, "Confirm registry value delete");
  QApplication::processEvents();
  EXPECT_EQ(RowOf(ePanel_A, "Greeting"), -1);
}

TEST_F(RegistryFrameTest, AKeyNodeOfTheTreeOffersTheKeysCommands) {
  ASSERT_EQ(CreateKey(HKEY_LOCAL_MACHINE, "Software\\Edit\\Node"), eCreateKey_Created);
  StartFrame();
  settings.MainViewConfig = 9;
  frame_->SetLayout(9);
  ASSERT_TRUE(frame_->SetActiveView(eView_TreeA));
  CFolderTree& tree = frame_->Tree(ePanel_A);
  ASSERT_TRUE(tree.SelectKey(HKEY_LOCAL_MACHINE, "\\Software\\Edit\\Node"));
  QApplication::processEvents();
  const QList<QAction*> menu = frame_->ContextMenuActions(eView_TreeA);
  for (int nId : {eCmd_NewKey, eCmd_NewDwordValue, eCmd_Rename, eCmd_Delete, eCmd_Export})
    EXPECT_TRUE(menu.contains(frame_->Action(nId))) << nId;
  EXPECT_FALSE(menu.contains(frame_->Action(eCmd_Shred)));
  box.QueueAnswer(eMsgAnsYes);
  Trigger(eCmd_Delete);
  ASSERT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strText,
            "Are you sure you want to delete the registry key \"Node\" and all of its subkeys?");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Edit\\Node"));
}

}  // namespace
