// The text table: its rows, and the texts the operations show in the other tests.
#include <gtest/gtest.h>

#include <QSet>

#include "core/texts.h"

namespace {

TEST(TextTable, RowsAreSortedUniqueNonEmptyAndKeyedByTheirNumber) {
  int nPrevious = 0;
  for (const core::CTextEntry& entry : core::TextTable()) {
    SCOPED_TRACE(entry.nId);
    EXPECT_GT(entry.nId, nPrevious);  // sorted, so each number once
    nPrevious = entry.nId;
    ASSERT_NE(entry.text.source, nullptr);
    EXPECT_STRNE(entry.text.source, "");
    // The disambiguation the translation is keyed by is the number itself.
    EXPECT_EQ(QByteArray(entry.text.comment), QByteArray::number(entry.nId));
  }
  EXPECT_FALSE(core::TextTable().empty());
}

TEST(TextTable, PlaceholdersAreNumberedFromOneWithoutGaps) {
  for (const core::CTextEntry& entry : core::TextTable()) {
    SCOPED_TRACE(entry.nId);
    const QString text = QString::fromUtf8(entry.text.source);
    EXPECT_FALSE(text.contains(u"%s") || text.contains(u"%d")) << "printf placeholder";
    int nHighest = 0;
    while (text.contains(QStringLiteral("%%1").arg(nHighest + 1))) ++nHighest;
    EXPECT_FALSE(text.contains(QStringLiteral("%%1").arg(nHighest + 2))) << "a gap";
  }
}

TEST(TextTable, UnknownNumbersHaveNoText) {
  for (const int nId : {0, 1, 55000, 899999, 999999}) EXPECT_TRUE(core::Text(nId).isEmpty()) << nId;
}

// The texts the other tests expect the operations to show, with the numbers they stand under
// and what fills their placeholders, in order.
TEST(TextTable, HoldsTheTextsTheOperationsShow) {
  const struct {
    int nId;
    QStringList args;
    const char* shown;
  } shown[] = {
      {55005, {}, "Cancel"},
      {55093, {}, "No to all"},
      {55176, {}, "My Device"},
      {55231, {}, "Profile already exists"},
      {61214, {}, "Warning!"},
      // The copy's replace question, its failures and its count line.
      {55158, {}, "Replace Existing File"},
      {55157, {"\\dst", "a.txt"},
       "Folder \"\\dst\" already contains a file called \"a.txt\".\r\n\r\nWould you like to "
       "replace the existing file?"},
      {55168, {"\\src\\big.bin"}, "Error copying file \"\\src\\big.bin\"."},
      {55169, {"299", "files", "300"}, "Copied 299 files from 300 total."},
      // Delete, recycle and restore.
      {55152, {"a.txt"}, "Are you sure you want to delete file \"a.txt\"?"},
      {55283, {}, "Confirm delete operation"},
      {61231, {"1", "file", "1"}, "Moved 1 file from 1 total."},
      {61230, {}, "Recycle Bin"},
      {900207, {"\\P\\F"}, "Can not restore \"\\P\\F\"."},
      // Shred.
      {61218, {}, "Confirm permanently delete operation"},
      {61221, {"plan.txt"}, "Are you sure you want to permanently delete file \"plan.txt\"?"},
      {103, {"t"}, "Are you sure you want to permanently delete folder \"t\" and all its contents?"},
      {55334, {"1", "file", "2"}, "Deleted 1 file from 2 total."},
      // Encryption.
      {55130, {}, "File decryption"},
      {55160, {}, "The passwords you entered do not match."},
      {55162, {"6"}, "Password is too short. Enter minimum 6 symbols."},
      {55163, {"40"}, "Password is too long. Enter maximum 40 symbols."},
      // Lists.
      {55117, {}, "File folder"},
      {900108, {"2", "3"}, "Folders: 2, Files: 3"},
  };
  for (const auto& s : shown) {
    QString text = core::Text(s.nId);
    for (const QString& arg : s.args) text = text.arg(arg);
    EXPECT_EQ(text, QString::fromUtf8(s.shown)) << s.nId;
  }
}

TEST(TextTable, PlaceholdersFillInTheirOrder) {
  EXPECT_EQ(core::Text(61213).arg("A", "B", "C", "D", "E"),
            "Warning, you are using a version of A that has been designed for another OS "
            "version (B). Please visit C and download the 'D' build of E.");
}

TEST(TextTranslation, AFileThatCannotBeLoadedChangesNothing) {
  EXPECT_FALSE(core::InstallTranslation(QStringLiteral("/nonexistent/pinbro_xx.qm")));
  EXPECT_EQ(core::Text(55005), "Cancel");
}

}  // namespace
