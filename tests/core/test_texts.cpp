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

// The texts the other tests expect from the operations, with the numbers they stand under.
TEST(TextTable, HoldsTheTextsTheOperationsShow) {
  const struct {
    int nId;
    const char* text;
  } shown[] = {
      {55005, "Cancel"},
      {55093, "No to all"},
      {55176, "My Device"},
      {55231, "Profile already exists"},
      {55249, "Invalid profile name"},
      {61214, "Warning!"},
  };
  for (const auto& s : shown) EXPECT_EQ(core::Text(s.nId), QString::fromUtf8(s.text)) << s.nId;
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
