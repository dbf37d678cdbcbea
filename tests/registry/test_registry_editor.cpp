// The registry editor on a real hive, with scripted dialogs and message boxes: the new-value
// counter, the DWORD field's filter, parse, base and spin, the multi-string rule and its two
// messages, the new-key checks, modify by type (expandable strings keep their type), delete
// of keys and values with their questions and failure texts, renames, and the notifications
// that make every view follow.
#include <gtest/gtest.h>

#include "core/entry_types.h"
#include "core/texts.h"
#include "platform/registry_hive.h"
#include "registry/registry_access.h"
#include "registry/registry_editor.h"
#include "registry/registry_view_source.h"
#include "support/scripted_message_box.h"
#include "support/scripted_registry_dialogs.h"
#include "support/temp_root.h"
#include "support/view_recorder.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using fileops::EViewChange;
using namespace regedit;

const HKEY kLM = HKEY_LOCAL_MACHINE;

class RegistryEditorTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    ResetNewValueCounter();
    ASSERT_EQ(CreateKey(kLM, "Test"), eCreateKey_Created);
  }
  static QByteArray Raw(const QString& name, DWORD* pType = nullptr) {
    DWORD type = 0;
    QByteArray data;
    EXPECT_TRUE(ReadRawValue(kLM, "Test", name, &type, &data)) << name.toStdString();
    if (pType) *pType = type;
    return data;
  }
  bool Has(EViewChange change, const QString& path) const {
    for (const fileops::CViewChange& c : views.changes)
      if (c.change == change && c.strPath == path && c.root == kLM && c.kind == eEntry_RegKey)
        return true;
    return false;
  }

  test::CScriptedMessageBox box;
  test::CScriptedRegistryDialogs dialogs;
  test::CViewRecorder views;
  fileops::CScopedViewListener listen{&views};
};

TEST_F(RegistryEditorTest, TheNewValueCounterIsSharedAndGivenBackOnCancel) {
  EXPECT_FALSE(NewDwordValue(kLM, "\\Test"));
  EXPECT_FALSE(NewStringValue(kLM, "\\Test"));
  EXPECT_FALSE(NewMultiStringValue(kLM, "\\Test"));
  EXPECT_EQ(dialogs.proposedNames, QStringList({"New Value 1", "New Value 1", "New Value 1"}));
  ASSERT_TRUE(dialogs.dwordSeen.back().bNewValue);
  EXPECT_EQ(dialogs.dwordSeen.back().base, 2u);

  dialogs.onString = [](CStringDialog* p) {
    p->value = "text";
    return true;
  };
  ASSERT_TRUE(NewStringValue(kLM, "\\Test"));
  EXPECT_FALSE(NewDwordValue(kLM, "\\Test"));
  EXPECT_EQ(dialogs.proposedNames.back(), "New Value 2");
  QString text;
  ASSERT_TRUE(ReadString(kLM, "Test", "New Value 1", &text));
  EXPECT_EQ(text, "text");
  EXPECT_TRUE(Has(EViewChange::eItemAdded, "\\Test\\New Value 1"));
}

TEST_F(RegistryEditorTest, DwordFieldFiltersParsesAndSpins) {
  struct Case {
    DWORD base;
    QString typed;
    QString text;
    DWORD value;
    bool ok;
  } cases[] = {
      {0, "1012", "101", 5, true},
      {2, "-5", "5", 5, true},
      {3, "0x1fG", "01f", 0x1f, true},
      {1, "789", "7", 7, true},
      {2, " \t", " \t", 0, false},   // blank: number 0, OK disabled
      {2, "abc", "", 0, false},      // nothing left after the filter
      {0, QString(40, '1'), QString(40, '1'), 0xFFFFFFFFu, true},  // places from 32 on ignored
      {2, "99999999999999999999999", "99999999999999999999999", 0xFFFFFFFFu, true},
      {3, "123456789", "123456789", 0x23456789u, true},
  };
  for (const Case& c : cases) {
    CDwordField field(0, c.base);
    field.TextChanged(c.typed);
    EXPECT_EQ(field.Text(), c.text) << c.typed.toStdString();
    EXPECT_EQ(field.Value(), c.value) << c.typed.toStdString();
    EXPECT_EQ(field.OkEnabled(), c.ok) << c.typed.toStdString();
  }
  CDwordField caret(0, 2);
  int nCaret = 3;  // after "1-2"
  caret.TextChanged("1-2x3", &nCaret);
  EXPECT_EQ(caret.Text(), "123");
  EXPECT_EQ(nCaret, 2);

  CDwordField field(255, 2);
  EXPECT_EQ(field.Text(), "255");
  field.SetBase(3);
  EXPECT_EQ(field.Text(), "FF");
  field.SetBase(0);
  EXPECT_EQ(field.Text(), "11111111");
  field.SetBase(1);
  EXPECT_EQ(field.Text(), "377");
  CDwordField spin(0, 3);
  spin.Spin(-1);
  EXPECT_EQ(spin.Value(), 0xFFFFFFFFu);
  EXPECT_EQ(spin.Text(), "FFFFFFFF");
  spin.Spin(1);
  EXPECT_EQ(spin.Text(), "0");
}

TEST_F(RegistryEditorTest, MultiStringRuleDropsEmptyStringsWithItsMessages) {
  const QString one = core::Text(900920), all = core::Text(900921);
  struct Case {
    QString text;
    QStringList stored;
    QString message;  // empty: none
  } cases[] = {
      {"a\r\n\r\nb", {"a", "b"}, one},
      {"a\r\nb\r\n", {"a", "b"}, one},
      {"a\r\nb", {"a", "b"}, {}},
      {"\r\n\r\n", {}, all},
      {"", {}, one},
      {" a \r\n\rb\n", {" a ", "b"}, {}},  // CR and LF trimmed at the ends, spaces kept
  };
  for (const Case& c : cases) {
    const size_t before = box.Calls().size();
    dialogs.onMulti = [&](CMultiStringDialog* p) {
      p->text = c.text;
      return true;
    };
    ASSERT_TRUE(NewMultiStringValue(kLM, "\\Test"));
    QStringList list;
    ASSERT_TRUE(ReadMultiString(kLM, "Test", dialogs.multiSeen.back().name, &list));
    EXPECT_EQ(list, c.stored) << c.text.toStdString();
    const auto calls = box.Calls();
    ASSERT_EQ(calls.size(), before + (c.message.isEmpty() ? 0 : 1)) << c.text.toStdString();
    if (!c.message.isEmpty()) {
      EXPECT_EQ(calls.back().strText, c.message);
      EXPECT_EQ(calls.back().strTitle, "Edit MultiString");
      EXPECT_EQ(calls.back().strHeader, "");
    }
  }
}

TEST_F(RegistryEditorTest, NewKeyChecksItsNameAndStaysOpenUntilOneIsMade) {
  ASSERT_EQ(CreateKey(kLM, "Test\\Old"), eCreateKey_Created);
  dialogs.names = {"  ", "Old", " Made "};
  ASSERT_TRUE(NewKey(kLM, "\\Test"));
  const auto calls = box.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].strText, "You must enter a key name.");
  EXPECT_EQ(calls[0].strTitle, "Error");
  EXPECT_EQ(calls[0].strHeader, "Empty key name");
  EXPECT_EQ(calls[1].strText,
            "A key with that name already exists. Please choose a different name.");
  EXPECT_EQ(calls[1].strHeader, "Key already exists");
  EXPECT_TRUE(KeyExists(kLM, "Test\\Made"));
  EXPECT_TRUE(Has(EViewChange::eFolderCreated, "\\Test\\Made"));
  dialogs.names = {"a\\b"};  // one name, never a path of keys
  EXPECT_FALSE(NewKey(kLM, "\\Test"));
  EXPECT_FALSE(KeyExists(kLM, "Test\\a"));
}

TEST_F(RegistryEditorTest, ModifyOpensTheDialogOfTheTypeAndKeepsTheType) {
  ASSERT_TRUE(WriteDword(kLM, "Test", "D", 7));
  dialogs.onDword = [](CDwordDialog* p) {
    p->value = 4000000000u;
    return true;
  };
  ASSERT_TRUE(ModifyValue(kLM, "\\Test", "D", eRegVT_Dword));
  EXPECT_EQ(dialogs.dwordSeen.back().value, 7u);
  EXPECT_FALSE(dialogs.dwordSeen.back().bNewValue);
  DWORD number = 0;
  ASSERT_TRUE(ReadDword(kLM, "Test", "D", &number));
  EXPECT_EQ(number, 4000000000u);
  EXPECT_TRUE(Has(EViewChange::eItemAdded, "\\Test\\D"));

  // An expandable string opens in the string dialog and stays REG_EXPAND_SZ.
  const QString expand = "%WINDIR%\\x";
  ASSERT_TRUE(WriteRawValue(kLM, "Test", "E", REG_EXPAND_SZ,
                            QByteArray(reinterpret_cast<const char*>(expand.utf16()),
                                       expand.size() * 2) + QByteArray(2, '\0')));
  dialogs.onString = [](CStringDialog* p) {
    p->value += "y";
    return true;
  };
  ASSERT_TRUE(ModifyValue(kLM, "\\Test", "E", eRegVT_ExpandString));
  EXPECT_TRUE(dialogs.stringSeen.back().bExpandable);
  EXPECT_EQ(dialogs.stringSeen.back().value, expand);
  DWORD type = 0;
  const QByteArray data = Raw("E", &type);
  EXPECT_EQ(type, REG_EXPAND_SZ);
  EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(data.constData())), expand + "y");

  // The unnamed value and a value named Default both show "(Default)" and keep their names.
  ASSERT_TRUE(WriteString(kLM, "Test", "", "unnamed"));
  ASSERT_TRUE(ModifyValue(kLM, "\\Test", kRegNoName, eRegVT_String));
  EXPECT_EQ(dialogs.stringSeen.back().name, "(Default)");
  QString text;
  ASSERT_TRUE(ReadString(kLM, "Test", "", &text));
  EXPECT_EQ(text, "unnamedy");

  // Binary values open in the byte editor; big-endian DWORDs open nothing.
  ASSERT_TRUE(WriteRawValue(kLM, "Test", "B", REG_BINARY, QByteArray("\x01\x02", 2)));
  dialogs.onBinary = [](CBinaryDialog* p) {
    EXPECT_EQ(p->data, QByteArray("\x01\x02", 2));
    p->data = QByteArray("\xff", 1);
    return true;
  };
  ASSERT_TRUE(ModifyValue(kLM, "\\Test", "B", eRegVT_Binary));
  EXPECT_EQ(Raw("B", &type), QByteArray("\xff", 1));
  EXPECT_EQ(type, REG_BINARY);
  ASSERT_TRUE(WriteRawValue(kLM, "Test", "BE", REG_DWORD_BIG_ENDIAN, QByteArray(4, '\1')));
  const size_t opened = dialogs.dwordSeen.size();
  EXPECT_FALSE(ModifyValue(kLM, "\\Test", "BE", eRegVT_DwordBigEndian));
  EXPECT_EQ(dialogs.dwordSeen.size(), opened);
  // A DWORD that cannot be read keeps the dialog closed.
  EXPECT_FALSE(ModifyValue(kLM, "\\Test", "Missing", eRegVT_Dword));
  EXPECT_EQ(dialogs.dwordSeen.size(), opened);
}

TEST_F(RegistryEditorTest, AWriteThatFailsAfterOkIsReportedAndNotifiesNothing) {
  dialogs.onDword = [](CDwordDialog*) { return true; };
  const QString tooLong = "\\" + QString(300, 'k');  // a key name the registry refuses
  EXPECT_FALSE(NewDwordValue(kLM, tooLong));
  const auto calls = box.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_TRUE(calls[0].strText.startsWith("The value \"New Value 1\" could not be written. "));
  EXPECT_GT(calls[0].strText.size(), QString("The value \"New Value 1\" could not be written. ").size());
  EXPECT_EQ(calls[0].strHeader, "Error writing registry value");
  EXPECT_TRUE(views.changes.empty());
}

TEST_F(RegistryEditorTest, DeleteAsksThenDeletesTheWholeTree) {
  ASSERT_EQ(CreateKey(kLM, "Test\\Tree\\Deep\\Deeper"), eCreateKey_Created);
  ASSERT_TRUE(WriteDword(kLM, "Test\\Tree\\Deep", "v", 1));
  box.QueueAnswer(eMsgAnsNo);
  EXPECT_FALSE(DeleteKeyEntry(kLM, "\\Test", eEntry_RegKey, "Tree"));
  EXPECT_TRUE(KeyExists(kLM, "Test\\Tree\\Deep\\Deeper"));
  auto calls = box.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].strText,
            "Are you sure you want to delete the registry key \"Tree\" and all of its subkeys?");
  EXPECT_EQ(calls[0].strTitle, "Confirm registry key delete");
  EXPECT_EQ(calls[0].strHeader, "Warning!");
  EXPECT_EQ(calls[0].nDefaultAnswer, eMsgAnsNo);

  box.QueueAnswer(eMsgAnsYes);
  ASSERT_TRUE(DeleteKeyEntry(kLM, "\\Test", eEntry_RegKey, "Tree"));
  EXPECT_FALSE(KeyExists(kLM, "Test\\Tree"));
  EXPECT_TRUE(Has(EViewChange::eFolderRemoved, "\\Test\\Tree"));

  // A key that went meanwhile: the failure with the platform's text.
  box.QueueAnswer(eMsgAnsYes);
  EXPECT_FALSE(DeleteKeyEntry(kLM, "\\Test", eEntry_RegKey, "Tree"));
  calls = box.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_TRUE(calls[3].strText.startsWith("Error deleting key \"Tree\". "));
  EXPECT_GT(calls[3].strText.size(), QString("Error deleting key \"Tree\". ").size());
  EXPECT_EQ(calls[3].strHeader, "Error deleting registry key");

  // Root key entries, ".." and values are not keys to delete: nothing is asked.
  EXPECT_FALSE(DeleteKeyEntry(kLM, "", eEntry_RegRoot, "HKEY_LOCAL_MACHINE"));
  EXPECT_FALSE(DeleteKeyEntry(kLM, "\\Test", eEntry_RegParent, ".."));
  EXPECT_FALSE(DeleteValueEntry(kLM, "\\Test", eEntry_RegKey, "x"));
  EXPECT_EQ(box.Calls().size(), 4u);
}

TEST_F(RegistryEditorTest, DeleteValueTellsTheUnnamedValueFromOneNamedDefault) {
  ASSERT_TRUE(WriteString(kLM, "Test", "", "unnamed"));
  ASSERT_TRUE(WriteString(kLM, "Test", "Default", "named"));
  box.QueueAnswer(eMsgAnsYes);
  ASSERT_TRUE(DeleteValueEntry(kLM, "\\Test", eEntry_RegValue, "Default"));
  EXPECT_EQ(box.Calls()[0].strText,
            "Are you sure you want to delete the registry value \"Default\"?");
  EXPECT_EQ(box.Calls()[0].strTitle, "Confirm registry value delete");
  EXPECT_FALSE(ValueExists(kLM, "Test", "Default"));
  EXPECT_TRUE(ValueExists(kLM, "Test", ""));
  box.QueueAnswer(eMsgAnsYes);
  ASSERT_TRUE(DeleteValueEntry(kLM, "\\Test", eEntry_RegValue, kRegNoName));
  EXPECT_FALSE(ValueExists(kLM, "Test", ""));
  EXPECT_TRUE(Has(EViewChange::eItemRemoved, "\\Test\\Default"));
  box.QueueAnswer(eMsgAnsYes);
  EXPECT_FALSE(DeleteValueEntry(kLM, "\\Test", eEntry_RegValue, "Gone"));
  EXPECT_TRUE(box.Calls().back().strText.startsWith("Error deleting value \"Gone\". "));
  EXPECT_EQ(box.Calls().back().strHeader, "Error deleting registry value");
}

TEST_F(RegistryEditorTest, RenamesKeepEverythingAndRefuseATakenName) {
  ASSERT_EQ(CreateKey(kLM, "Test\\A\\Sub\\Deeper"), eCreateKey_Created);
  ASSERT_EQ(CreateKey(kLM, "Test\\Taken"), eCreateKey_Created);
  ASSERT_TRUE(WriteRawValue(kLM, "Test\\A\\Sub", "odd", 0x1234, QByteArray("\0\1\2", 3)));
  ASSERT_TRUE(WriteDword(kLM, "Test\\A", "n", 5));
  dialogs.names = {"taken", "B"};
  ASSERT_TRUE(RenameKey(kLM, "\\Test", "A"));
  EXPECT_EQ(box.Calls().size(), 1u);
  EXPECT_EQ(box.Calls()[0].strHeader, "Key already exists");
  EXPECT_FALSE(KeyExists(kLM, "Test\\A"));
  EXPECT_TRUE(KeyExists(kLM, "Test\\B\\Sub\\Deeper"));
  DWORD type = 0, number = 0;
  QByteArray data;
  ASSERT_TRUE(ReadRawValue(kLM, "Test\\B\\Sub", "odd", &type, &data));
  EXPECT_EQ(type, 0x1234u);
  EXPECT_EQ(data, QByteArray("\0\1\2", 3));
  ASSERT_TRUE(ReadDword(kLM, "Test\\B", "n", &number));
  EXPECT_EQ(number, 5u);
  EXPECT_TRUE(std::find(views.changes.begin(), views.changes.end(),
                        fileops::CViewChange{EViewChange::eFolderRenamed, "\\Test\\A",
                                             "\\Test\\B", eEntry_RegKey, kLM}) !=
              views.changes.end());
  // A change of case only.
  EXPECT_TRUE(MoveKey(kLM, "\\Test", "B", "b"));
  QStringList names;
  struct : CRegEnumSink {
    QStringList* p;
    bool OnKey(const CRegEnumItem& item) override {
      p->append(item.name);
      return true;
    }
  } sink;
  sink.p = &names;
  EnumSubKeys(kLM, "Test", &sink);
  EXPECT_TRUE(names.contains("b")) << names.join(',').toStdString();
  EXPECT_FALSE(names.contains("B"));
  EXPECT_TRUE(KeyExists(kLM, "Test\\b\\Sub\\Deeper"));

  ASSERT_TRUE(WriteRawValue(kLM, "Test", "v", REG_MULTI_SZ, QByteArray("a\0\0\0\0\0", 6)));
  ASSERT_TRUE(WriteDword(kLM, "Test", "w", 1));
  dialogs.names = {"W", "x"};
  ASSERT_TRUE(RenameValue(kLM, "\\Test", "v"));
  EXPECT_EQ(box.Calls().back().strHeader, "Value already exists");
  EXPECT_FALSE(ValueExists(kLM, "Test", "v"));
  EXPECT_EQ(Raw("x", &type), QByteArray("a\0\0\0\0\0", 6));
  EXPECT_EQ(type, REG_MULTI_SZ);
}

TEST_F(RegistryEditorTest, ListsOfTheKeyFollowItsChanges) {
  const CRegistryListSource source(kLM, "\\Test");
  EXPECT_EQ(source.ChangeFit(eEntry_RegKey, kLM, "\\Test\\v"), EChangeFit::eRelist);
  EXPECT_EQ(source.ChangeFit(eEntry_RegKey, kLM, "\\test"), EChangeFit::eRelist);
  EXPECT_EQ(source.ChangeFit(eEntry_RegKey, kLM, "\\Other\\v"), EChangeFit::eNone);
  EXPECT_EQ(source.ChangeFit(eEntry_RegKey, HKEY_CURRENT_USER, "\\Test\\v"), EChangeFit::eNone);
  EXPECT_EQ(source.ChangeFit(eEntry_Folder, 0, "\\Test\\v"), EChangeFit::eNone);
  const CRegistryListSource deep(kLM, "\\Test\\A\\B");
  EXPECT_EQ(deep.ChangeFit(eEntry_RegKey, kLM, "\\Test\\A"), EChangeFit::eRelist);
  EXPECT_EQ(deep.ChangeFit(eEntry_RegKey, kLM, "\\Test\\AB"), EChangeFit::eNone);
}

}  // namespace
