// Placeholders, the collection engine's tokens, the special locations and the storage-card
// list, on a temporary root and hive.
#include <sys/mount.h>

#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

#include "collect/collect_tokens.h"
#include "collect/placeholders.h"
#include "collect/known_locations.h"
#include "collect/storage_cards.h"
#include "platform/system.h"
#include "registry/registry_access.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using namespace collect;

// Expands from a fixed table and records the tokens it was asked for.
class CTableExpander : public IPlaceholderExpander {
 public:
  QMap<QString, QString> values;
  QStringList asked;
  bool ExpandToken(const QString& strToken, QString* pstrValue) override {
    asked << strToken;
    *pstrValue = values.value(strToken);
    return values.contains(strToken);
  }
};

TEST(PlaceholderSyntax, TokensAreReplacedAndOneFailureEmptiesTheText) {
  CTableExpander expander;
  expander.values = {{"A", "\\Alpha"}, {"B", "Beta"}, {"", "empty"}, {"S", "\\"}};
  struct Case {
    const char* text;
    bool ok;
    const char* result;
  } cases[] = {
      {"no tokens", true, "no tokens"},
      {"%A%\\Temp", true, "\\Alpha\\Temp"},
      {"\\%B%\\x\\%B%", true, "\\Beta\\x\\Beta"},
      {"%A%%B%", true, "\\AlphaBeta"},
      {"\\%A%\\x", true, "\\Alpha\\x"},          // no doubled backslash
      {"\\%B%\\%A%", true, "\\Beta\\Alpha"},
      {"\\%S%\\Temp", true, "\\Temp"},  // a value of "\" alone
      {"\\\\x%B%", true, "\\\\xBeta"},   // text outside tokens is copied as it is
      {"x%%y", true, "xemptyy"},              // "%%" is the empty token
      {"pre%A", true, "pre\\Alpha"},          // an unclosed "%": the rest is the token
      {"\\keep\\%NOSUCH%\\tail", false, ""},  // one unknown token empties the whole text
      {"%A%\\%NOSUCH%\\%B%", false, ""},
  };
  for (const Case& c : cases) {
    QString result = "stale";
    EXPECT_EQ(ExpandPlaceholders(c.text, &expander, &result), c.ok) << c.text;
    EXPECT_EQ(result, QString(c.result)) << c.text;
  }
  // The scan stops at the failing token: B after it is never asked for.
  expander.asked.clear();
  QString result;
  ExpandPlaceholders("%NOSUCH%%B%", &expander, &result);
  EXPECT_EQ(expander.asked, QStringList{"NOSUCH"});
  // A null expander drops the tokens.
  ASSERT_TRUE(ExpandPlaceholders("\\a\\%A%\\b%rest", nullptr, &result));
  EXPECT_EQ(result, "\\a\\\\b");
}

class TokensTest : public test::TempRootAndHive {
 protected:
  QString Expand(const QString& text) {
    CStorageCards cards;
    cards.RefreshStorageCards();
    CCollectTokens tokens(cards);
    QString result = "stale";
    ExpandPlaceholders(text, &tokens, &result);
    return result;
  }
  static void SetUser(const QString& key, const QString& name, const QString& value) {
    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, key, name, value));
  }
  const QString shellFolders_ =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
};

TEST_F(TokensTest, WindowsRegistryAndUnknownTokens) {
  // The system folder is the program's folder; here the data folder lies outside the root.
  const QString windows = plat::ProgramFolder();
  ASSERT_EQ(windows, "\\.pinewood-browser");
  EXPECT_EQ(Expand("\\%WINDOWS%\\Temp"), "\\.pinewood-browser\\Temp");
  EXPECT_EQ(Expand("%WINDOWS%\\Temp"), "\\.pinewood-browser\\Temp");
  EXPECT_EQ(Expand("%windows%"), windows) << "token names ignore case";

  ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, "Software\\Foo", "Path", "\\Data\\Foo"));
  ASSERT_TRUE(WriteDword(HKEY_LOCAL_MACHINE, "Software\\Foo", "Number", 7));
  EXPECT_EQ(Expand("%HKLM\\Software\\Foo\\Path%\\x"), "\\Data\\Foo\\x");
  EXPECT_EQ(Expand("%HKEY_LOCAL_MACHINE\\Software\\Foo\\Path%"), "\\Data\\Foo");
  EXPECT_EQ(Expand("%HKLM\\Software\\Foo\\Number%"), "") << "REG_SZ only";
  EXPECT_EQ(Expand("%HKLM\\Software\\Foo\\Missing%\\x"), "");
  SetUser("Software\\Bar", "Dir", "\\Bar");
  EXPECT_EQ(Expand("%HKCU\\Software\\Bar\\Dir%"), "\\Bar");
  EXPECT_EQ(Expand("\\a\\%NOSUCH%\\b"), "");
  EXPECT_EQ(Expand("%CARD5%"), "");
  // A special location that does not exist fails too.
  EXPECT_EQ(Expand("%IE_CACHE%"), "");
  MakeFolder("\\.pinewood-browser\\Temporary Internet Files");
  EXPECT_EQ(Expand("%IE_CACHE%"), "\\.pinewood-browser\\Temporary Internet Files");
}

TEST_F(TokensTest, CardsWithoutMountedCardsTakeTheConventionalNames) {
  MakeFolder("\\Storage Card");  // an ordinary folder is no card
  CStorageCards cards;
  EXPECT_EQ(cards.RefreshStorageCards(), 0);
  EXPECT_EQ(cards.StorageCardName(0), "");
  EXPECT_EQ(Expand("\\%CARD1%\\x"), "\\Storage Card\\x");
  EXPECT_EQ(Expand("%card2%"), "Storage Card2");
  EXPECT_EQ(Expand("%CARD4%"), "Storage Card4");
  EXPECT_FALSE(cards.HoldsPath("\\Storage Card\\a"));
}

TEST_F(TokensTest, MountedCardsAreListedAndNamed) {
  MakeFolder("\\SD");
  const QByteArray card = QFile::encodeName(Host("\\SD"));
  if (::mount("tmpfs", card.constData(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "no permission to mount a file system here";
  CStorageCards cards;
  const int count = cards.RefreshStorageCards();
  const QString name = cards.StorageCardName(0);
  const QString card1 = Expand("%CARD1%"), card2 = Expand("%CARD2%");
  const bool holds = cards.HoldsPath("\\sd\\x\\y"), holdsCard = cards.HoldsPath("\\SD");
  const bool other = cards.HoldsPath("\\SDX\\y");
  ::umount(card.constData());
  EXPECT_EQ(count, 1);
  EXPECT_EQ(name, "SD");
  EXPECT_EQ(card1, "SD");
  EXPECT_EQ(card2, "Storage Card2") << "one card mounted";
  EXPECT_TRUE(holds);
  EXPECT_TRUE(holdsCard);
  EXPECT_FALSE(other);
}

TEST_F(TokensTest, SpecialLocationsFromTheShellAndTheirFallbacks) {
  const QString windows = plat::ProgramFolder();
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_Windows), windows);
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_None), "");
  EXPECT_EQ(GetSpecialLocation(0), "");
  EXPECT_EQ(GetSpecialLocation(17), "");
  // Shell folders exist only once made.
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_ProgramFiles), "");
  MakeFolder("\\.pinewood-browser\\Program Files");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_ProgramFiles), "\\.pinewood-browser\\Program Files");
  MakeFolder("\\.pinewood-browser\\Start Menu\\Programs");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_StartMenu), "\\.pinewood-browser\\Start Menu");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_Programs), "\\.pinewood-browser\\Start Menu\\Programs");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_Startup), "");
  MakeFolder("\\My Documents");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_MyDocuments), "\\My Documents");

  // A registry value wins over the fallback, but only a folder that exists is returned.
  MakeFolder("\\.pinewood-browser\\History");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_IEHistory), "\\.pinewood-browser\\History");
  SetUser(shellFolders_, "History", "\\Hist");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_IEHistory), "") << "the value names a missing folder";
  MakeFolder("\\Hist");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_IEHistory), "\\Hist");

  SetUser("Software\\Microsoft\\MAPI", "AttachPath", "\\Mail");
  MakeFolder("\\Mail");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_MailAttachments), "\\Mail");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_JournalBarCache), "") << "no value, no fallback";
  SetUser("Software\\OmegaOne\\JournalBar", "Cache", "\\Mail");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_JournalBarCache), "\\Mail");

  MakeFolder("\\Application Data\\Opera");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_ApplicationData), "\\Application Data");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_OperaData), "\\Application Data\\Opera");
}

TEST_F(TokensTest, NetFrontCacheTakesTheFirstValueNamingAnExistingFolder) {
  const QString pf = "\\.pinewood-browser\\Program Files";
  MakeFolder(pf + "\\ACCESS NetFront32\\cache");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_NetFrontCache), pf + "\\ACCESS NetFront32\\cache");
  SetUser("Software\\access\\NetFront33\\BrowserPref", "L2CacheDir", "\\nf33");  // missing
  SetUser("Software\\access.co.jp\\NetFront32\\BrowserPref", "L2CacheDir", "");  // empty
  SetUser("Software\\access.co.jp\\NetFront31\\BrowserPref", "L2CacheDir", "\\nf31");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_NetFrontCache), pf + "\\ACCESS NetFront32\\cache")
      << "no value names an existing folder yet";
  MakeFolder("\\nf31");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_NetFrontCache), "\\nf31");
  MakeFolder("\\nf33");
  EXPECT_EQ(GetSpecialLocation(eSpecialLoc_NetFrontCache), "\\nf33");
  EXPECT_EQ(Expand("%NETFRONT_CACHE%\\a"), "\\nf33\\a");
}

}  // namespace
