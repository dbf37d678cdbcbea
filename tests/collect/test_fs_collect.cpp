// The collection engine on real files in a temporary device root: the rule lists and their
// limits, the per-entry rules, the filters, storage cards, links, the walker's mask, the
// search text, stopping, totals and log lines.
#include <sys/mount.h>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include "collect/collect_match.h"
#include "collect/enum_folder.h"
#include "collect/fs_collect.h"
#include "collect/search_rules.h"
#include "core/app_log.h"
#include "platform/file_system.h"
#include "platform/filetime.h"
#include "platform/find.h"
#include "support/temp_root.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

using namespace collect;

TEST(CollectMatch, WildcardPatterns) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  } cases[] = {
      {"a.txt", "*.txt", true},     {"A.TXT", "*.txt", true},    {"a.b.txt", "*.txt", true},
      {"a.txt1", "*.txt", false},   {"txt", "*.txt", false},     {"abc", "a?c", true},
      {"ac", "a?c", false},         {"abcd", "a?c", false},      {"x", "*", true},
      {"", "*", true},              {"", "", true},              {"a", "", false},
      {"README", "*.*", false},     {"a.b", "*.*", true},        {"aXb", "*x*", true},
      {"~a.tmp", "~*.tmp", true},   {"a~.tmp", "~*.tmp", false}, {"Temp", "temp", true},
      {"abab", "*ab", true},        {"aab", "a*b*", true},       {"b", "a*", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchWildcard(QString(c.name), QString(c.pattern)), c.match)
        << c.name << " / " << c.pattern;
}

TEST(CollectMatch, FolderCovers) {
  struct Case {
    const char* path;
    const char* folder;
    bool sub;
    bool covers;
  } cases[] = {
      {"\\a", "\\a", false, true},      {"\\A", "\\a", false, true},
      {"\\a\\b", "\\a", false, false},  {"\\a\\b", "\\a", true, true},
      {"\\ab", "\\a", true, false},     {"\\a", "\\a\\", true, true},
      {"\\x\\y", "\\", true, true},     {"\\x", "\\", false, false},
      {"\\a", "", true, false},         {"\\a\\b\\c", "\\A\\B", true, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FolderCovers(c.path, c.folder, c.sub), c.covers) << c.path << " in " << c.folder;
}

TEST(SearchText, PiecesBecomeIncludeAndExcludeRules) {
  struct Case {
    const char* text;
    std::vector<std::pair<bool, const char*>> rules;
  } cases[] = {
      {"*.tmp;-~*.tmp", {{false, "*.tmp"}, {true, "~*.tmp"}}},
      {" *.txt , *.doc ", {{false, "*.txt"}, {false, "*.doc"}}},
      {"ab,cd;ef", {{false, "ab,cd"}, {false, "ef"}}},  // a ";" ahead ends the piece there
      {"+*.x;  -y ;-;+;z", {{false, "*.x"}, {true, "y"}}},
      {"*.tmp; - ~*.tmp; + a*", {{false, "*.tmp"}, {true, "~*.tmp"}, {false, "a*"}}},
      {"a", {}},
      {";;,", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const std::vector<CSearchPattern> patterns = SearchPatterns(c.text);
    ASSERT_EQ(patterns.size(), c.rules.size()) << c.text;
    for (size_t i = 0; i < patterns.size(); ++i) {
      EXPECT_EQ(patterns[i].bExclude, c.rules[i].first) << c.text;
      EXPECT_EQ(patterns[i].strPattern, QString(c.rules[i].second)) << c.text;
    }
  }
}

// Records every result; ends the walk after nStopAfter results when given.
class CRecordingSink : public IFSCollectSink {
 public:
  std::map<QString, SFSCResult> results;
  int nStopAfter = -1;
  bool OnResult(const SFSCResult& result) override {
    results[result.strFullPath] = result;
    return nStopAfter < 0 || int(results.size()) < nStopAfter;
  }
  std::vector<QString> Paths() const {
    std::vector<QString> paths;
    for (const auto& [path, result] : results) paths.push_back(path);
    return paths;
  }
  QString Description(const QString& path) const {
    auto it = results.find(path);
    return it == results.end() ? QString("(none)") : it->second.strDescription;
  }
};

using Paths = std::vector<QString>;

class CollectTest : public test::TempRootAndHive {
 protected:
  void SetUp() override {
    TempRootAndHive::SetUp();
    MakeFile("\\a.tmp", "12345");
    MakeFile("\\~a.tmp", "1");
    MakeFile("\\notes.txt", "123");
    MakeFile("\\Docs\\b.TMP", "12");
    MakeFile("\\Docs\\~c.tmp", "123");
    MakeFile("\\Docs\\report.final.txt", "1234");
    MakeFile("\\Docs\\Old\\d.txt", "");
    MakeFolder("\\Docs\\Empty");
    MakeFile("\\Cache\\Temp\\x.dat", "xx");
    MakeFile("\\Cache\\y.dat", "yyy");
  }
  Paths Collect(CFSCollect& engine) {
    sink_.results.clear();
    engine.CollectFiles(&sink_);
    return sink_.Paths();
  }
  CFSCollect engine_;
  CRecordingSink sink_;
};

TEST_F(CollectTest, SearchCollectsTheMatchingFilesOfTheDevice) {
  EXPECT_TRUE(RunSearch(&engine_, "*.tmp; -~*.tmp", &sink_));
  EXPECT_EQ(sink_.Paths(), (Paths{"\\Docs\\b.TMP", "\\a.tmp"}));
  EXPECT_EQ(sink_.Description("\\a.tmp"), "???:eFSC_MT_Inc_File");
  EXPECT_EQ(sink_.results["\\a.tmp"].bIsFolder, 0u);
  EXPECT_EQ(engine_.TotalBytes(), 7u);
  EXPECT_EQ(engine_.CollectedCount(), 2u);

  sink_.results.clear();
  RunSearch(&engine_, "*.txt", &sink_);
  EXPECT_EQ(sink_.Paths(), (Paths{"\\Docs\\Old\\d.txt", "\\Docs\\report.final.txt",
                                  "\\notes.txt"}));
  sink_.results.clear();
  RunSearch(&engine_, "t", &sink_);
  EXPECT_TRUE(sink_.results.empty()) << "a one-letter piece is too short";
  EXPECT_EQ(engine_.TotalBytes(), 0u);
}

TEST_F(CollectTest, WithoutIncludeRulesNothingIsCollected) {
  engine_.AddExcludeFileRule("x", "*.dat", true, 0);
  engine_.AddExcludeFolderRule("x", "\\Docs", true, true, 0);
  EXPECT_TRUE(Collect(engine_).empty());
  EXPECT_TRUE(engine_.CollectFiles(&sink_)) << "the walk itself ran to its end";
}

TEST_F(CollectTest, IncludeFolderRulesCollectFoldersAndFiles) {
  engine_.Options().strRuleSetName = "Docs set";
  engine_.AddIncludeFolderRule("docs", "\\Docs", true, true, true, true, false, 7);
  EXPECT_EQ(Collect(engine_),
            (Paths{"\\Docs", "\\Docs\\Empty", "\\Docs\\Old", "\\Docs\\Old\\d.txt", "\\Docs\\b.TMP",
                   "\\Docs\\report.final.txt", "\\Docs\\~c.tmp"}));
  EXPECT_EQ(sink_.Description("\\Docs"), "Docs set:eFSC_MT_Root_Folder");
  EXPECT_EQ(sink_.results["\\Docs"].bIsFolder, 1u);
  EXPECT_EQ(sink_.Description("\\Docs\\Old"), "Docs set:eFSC_MT_Sub_Folder");
  EXPECT_EQ(sink_.Description("\\Docs\\Old\\d.txt"), "Docs set:eFSC_MT_Inc_Folder");
  EXPECT_EQ(sink_.results["\\Docs\\b.TMP"].dwParams, 7u);
  EXPECT_EQ(engine_.TotalBytes(), 2u + 3 + 4 + 0) << "folders add no bytes";

  // Without files in sub-folders, sub-folder items or the folder itself.
  engine_.Reset();
  engine_.AddIncludeFolderRule("docs", "\\Docs", false, false, false, true, false, 0);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\b.TMP", "\\Docs\\report.final.txt",
                                     "\\Docs\\~c.tmp"}));
  // The include-folder rules win over the include-file rules; the exclude-file rules over both.
  engine_.AddIncludeFileRule("tmp", "*.tmp", true, 9);
  engine_.AddExcludeFileRule("tilde", "~*", true, 0);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\b.TMP", "\\Docs\\report.final.txt", "\\a.tmp"}));
  EXPECT_EQ(sink_.Description("\\Docs\\b.TMP"), "???:eFSC_MT_Inc_Folder");
  EXPECT_EQ(sink_.results["\\a.tmp"].dwParams, 9u);
}

TEST_F(CollectTest, EmptyFoldersOnlyCollectsTheEmptyFoldersAndNoFiles) {
  MakeFolder("\\Docs\\Old\\Deeper");
  engine_.AddIncludeFolderRule("empty", "\\", true, true, true, true, true, 0);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\Empty", "\\Docs\\Old\\Deeper"}));
  EXPECT_EQ(sink_.Description("\\Docs\\Empty"), "???:eFSC_MT_Sub_Folder");
}

TEST_F(CollectTest, ExcludeFolderRules) {
  engine_.AddIncludeFileRule("all", "*", true, 0);
  engine_.AddIncludeFolderRule("folders", "\\", false, true, false, true, false, 0);
  engine_.AddExcludeFolderRule("off", "\\Docs", true, false, 0);
  const Paths all = Collect(engine_);
  EXPECT_EQ(all.size(), 14u) << "a disabled exclude-folder rule excludes nothing";
  engine_.SetEnableExcludeFolderRule(-1, true);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Cache", "\\Cache\\Temp", "\\Cache\\Temp\\x.dat",
                                     "\\Cache\\y.dat", "\\a.tmp", "\\notes.txt", "\\~a.tmp"}));
  engine_.Options().strStartFolder = "\\Docs";
  EXPECT_TRUE(Collect(engine_).empty());
  EXPECT_EQ(engine_.LastRule(), 0x80000000u) << "the first exclude-folder rule matched last";
  // Without its sub-folder switch the rule excludes the files below it, not the folders.
  engine_.Reset();
  engine_.AddIncludeFileRule("all", "*", true, 0);
  engine_.AddIncludeFolderRule("folders", "\\", false, true, false, true, false, 0);
  engine_.AddExcludeFolderRule("docs", "\\Docs", false, true, 0);
  const Paths kept = Collect(engine_);
  EXPECT_TRUE(std::count(kept.begin(), kept.end(), "\\Docs\\Old"));
  EXPECT_FALSE(std::count(kept.begin(), kept.end(), "\\Docs\\Old\\d.txt"));
}

TEST_F(CollectTest, FolderNamePatternRules) {
  engine_.AddIncludeFolderRule("temp", "temp", true, false, true, true, false, 0);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Cache\\Temp", "\\Cache\\Temp\\x.dat"}));
  EXPECT_EQ(sink_.Description("\\Cache\\Temp"), "???:eFSC_MT_Root_Folder");
  // An exclude pattern keeps every file below a folder of that name.
  engine_.Reset();
  engine_.AddIncludeFileRule("dat", "*.dat", true, 0);
  engine_.AddExcludeFolderRule("temp", "T*", true, true, 0);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Cache\\y.dat"}));
}

TEST_F(CollectTest, RulesForMissingOrUnknownFoldersMatchNothing) {
  engine_.AddIncludeFolderRule("gone", "\\NoSuch", true, true, true, true, false, 0);
  EXPECT_FALSE(engine_.IsIncludeFolderRuleEnabled(0)) << "stored disabled";
  engine_.SetEnableIncludeFolderRule(0, true);
  EXPECT_TRUE(Collect(engine_).empty());
  engine_.AddIncludeFolderRule("unknown", "\\%NOSUCH%\\Docs", true, true, true, true, false, 0);
  EXPECT_EQ(engine_.IncludeFolderRule(1)->strExpandedFolder, "");
  EXPECT_TRUE(Collect(engine_).empty());
  engine_.AddIncludeFolderRule("card", "\\%CARD1%", true, true, true, true, false, 0);
  EXPECT_EQ(engine_.IncludeFolderRule(2)->strExpandedFolder, "\\Storage Card");
  EXPECT_EQ(engine_.IncludeFolderRule(3), nullptr);
  EXPECT_FALSE(engine_.IsIncludeFolderRuleEnabled(2));
}

TEST_F(CollectTest, AttributeSizeAndTimeFilters) {
  engine_.AddIncludeFileRule("all", "*", true, 0);
  ASSERT_TRUE(plat::SetFileAttributes("\\notes.txt", FILE_ATTRIBUTE_READONLY));
  engine_.Options().dwAttrExclFiles = FILE_ATTRIBUTE_READONLY;
  Paths paths = Collect(engine_);
  EXPECT_FALSE(std::count(paths.begin(), paths.end(), "\\notes.txt"));
  EXPECT_EQ(paths.size(), 8u);
  engine_.Options().dwAttrExclFiles = 0;
  engine_.Options().dwAttrInclFiles = FILE_ATTRIBUTE_READONLY;
  EXPECT_EQ(Collect(engine_), (Paths{"\\notes.txt"}));
  engine_.Options().dwAttrInclFiles = 0xFFFFFFFF;

  engine_.Options().uMinFileSize = 3;
  engine_.Options().uMaxFileSize = 4;
  engine_.Options().dwGlobalSettings = eFSC_GS_MinSize;
  EXPECT_EQ(Collect(engine_).size(), 5u);  // 5, 3, 3, 4, 3 bytes
  engine_.Options().dwGlobalSettings = eFSC_GS_MinSize | eFSC_GS_MaxSize;
  EXPECT_EQ(Collect(engine_), (Paths{"\\Cache\\y.dat", "\\Docs\\report.final.txt",
                                     "\\Docs\\~c.tmp", "\\notes.txt"}));

  const FILETIME old = plat::FileTimeFromUnix(1000000000, 0);
  const FILETIME recent = plat::FileTimeFromUnix(1700000000, 0);
  const FILETIME cut = plat::FileTimeFromUnix(1500000000, 0);
  for (const char* path : {"\\a.tmp", "\\~a.tmp", "\\notes.txt", "\\Docs\\b.TMP",
                           "\\Docs\\~c.tmp", "\\Docs\\report.final.txt", "\\Docs\\Old\\d.txt",
                           "\\Cache\\Temp\\x.dat", "\\Cache\\y.dat"})
    ASSERT_TRUE(plat::SetFileTimes(path, nullptr, QString(path).contains("a") ? &old : &recent,
                                   nullptr));
  engine_.Options().dwGlobalSettings = eFSC_GS_NotBefore;
  engine_.Options().ftNotBefore = cut;
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\Old\\d.txt", "\\Docs\\b.TMP", "\\Docs\\~c.tmp",
                                     "\\notes.txt"}));
  engine_.Options().dwGlobalSettings = eFSC_GS_NotAfter;
  engine_.Options().ftNotAfter = cut;
  EXPECT_EQ(Collect(engine_).size(), 5u);

  // A rule's own limits: zero length only, and accessed not before a time.
  engine_.Reset();
  engine_.AddIncludeFileRule("txt", "*.txt", true, 0);
  SFSCRuleExtParams ext;
  ext.bZeroLengthOnly = 1;
  engine_.SetIncludeFileRuleExtParams(-1, ext);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\Old\\d.txt"}));
  ext = {};
  ext.ftEarliestAccess = cut;
  engine_.SetIncludeFileRuleExtParams(0, ext);
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\Old\\d.txt", "\\notes.txt"}));
  // An exclude rule with limits excludes only the files it accepts.
  engine_.AddExcludeFileRule("recent", "*", true, 0);
  engine_.SetExcludeFileRuleExtParams(0, ext);
  EXPECT_TRUE(Collect(engine_).empty());
}

TEST_F(CollectTest, StorageCardFlags) {
  MakeFolder("\\SD");
  const QByteArray card = QFile::encodeName(Host("\\SD"));
  if (::mount("tmpfs", card.constData(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "no permission to mount a file system here";
  MakeFile("\\SD\\photo.tmp", "1");
  engine_.Reset();  // reads the cards again
  AddSearchRules(&engine_, "*.tmp");
  engine_.AddIncludeFolderRule("card", "\\%CARD1%", false, false, true, true, false, 0);
  const QString expanded = engine_.IncludeFolderRule(0)->strExpandedFolder;
  const Paths all = Collect(engine_);
  engine_.Options().dwGlobalSettings = eFSC_GS_SkipOnCard;
  const Paths offCard = Collect(engine_);
  engine_.Options().dwGlobalSettings = eFSC_GS_SkipNotOnCard;
  const Paths onCard = Collect(engine_);
  ::umount(card.constData());
  EXPECT_EQ(expanded, "\\SD");
  EXPECT_EQ(all, (Paths{"\\Docs\\b.TMP", "\\Docs\\~c.tmp", "\\SD", "\\SD\\photo.tmp", "\\a.tmp",
                        "\\~a.tmp"}));
  EXPECT_EQ(offCard, (Paths{"\\Docs\\b.TMP", "\\Docs\\~c.tmp", "\\a.tmp", "\\~a.tmp"}));
  EXPECT_EQ(onCard, (Paths{"\\SD", "\\SD\\photo.tmp"}));
}

TEST_F(CollectTest, LinkedFoldersAreNeverEntered) {
  QTemporaryDir outside;
  ASSERT_TRUE(outside.isValid());
  QFile out(outside.path() + "/secret.tmp");
  ASSERT_TRUE(out.open(QIODevice::WriteOnly));
  out.close();
  MakeFile("\\Other\\inner.tmp", "1");
  ASSERT_TRUE(QFile::link(outside.path(), Host("\\Docs\\away")));
  ASSERT_TRUE(QFile::link(Host("\\Other"), Host("\\Docs\\other")));
  engine_.AddIncludeFileRule("tmp", "*.tmp", true, 0);
  engine_.Options().strStartFolder = "\\Docs";
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\b.TMP", "\\Docs\\~c.tmp"}));
  // A linked folder is still an entry of its folder.
  engine_.AddIncludeFolderRule("subs", "\\Docs", false, true, false, true, false, 0);
  const Paths paths = Collect(engine_);
  EXPECT_TRUE(std::count(paths.begin(), paths.end(), "\\Docs\\other"));
  EXPECT_FALSE(std::count(paths.begin(), paths.end(), "\\Docs\\other\\inner.tmp"));
  // A start folder that is a link is not walked.
  engine_.Options().strStartFolder = "\\Docs\\other";
  EXPECT_FALSE(engine_.CollectFiles(&sink_));
}

TEST_F(CollectTest, ResultsCarryTheWholeRecordOfFilesAndLinkedFiles) {
  // Below the root the walk reads names and kinds; what is collected has its status read.
  ASSERT_TRUE(QFile::link(Host("\\a.tmp"), Host("\\Docs\\alias.tmp")));
  ASSERT_TRUE(QFile::link(Host("\\Cache"), Host("\\Docs\\folder.tmp")));
  EXPECT_TRUE(RunSearch(&engine_, "*.tmp", &sink_));
  EXPECT_EQ(sink_.Paths(), (Paths{"\\Docs\\alias.tmp", "\\Docs\\b.TMP", "\\Docs\\~c.tmp",
                                  "\\a.tmp", "\\~a.tmp"}))
      << "a linked folder is no file, whatever its name";
  EXPECT_EQ(plat::FindSize(sink_.results["\\Docs\\alias.tmp"].data), 5u);
  EXPECT_EQ(plat::FindSize(sink_.results["\\Docs\\~c.tmp"].data), 3u);
  EXPECT_NE(sink_.results["\\Docs\\b.TMP"].data.ftLastWriteTime.dwHighDateTime, 0u);
  EXPECT_EQ(engine_.TotalBytes(), 5u + 2 + 3 + 5 + 1);
}

TEST_F(CollectTest, MaskStartFolderAndRecursion) {
  engine_.AddIncludeFileRule("all", "*", true, 0);
  engine_.AddIncludeFolderRule("folders", "\\", false, true, false, true, false, 0);
  engine_.Options().strStartFolder = "\\Docs";
  engine_.Options().bRecursive = 0;
  EXPECT_EQ(Collect(engine_), (Paths{"\\Docs\\Empty", "\\Docs\\Old", "\\Docs\\b.TMP",
                                     "\\Docs\\report.final.txt", "\\Docs\\~c.tmp"}));
  // The mask is applied at every level: only folders whose names match it are entered.
  engine_.Options().strStartFolder = "\\";
  engine_.Options().bRecursive = 1;
  engine_.Options().strFileMask = "*o*";
  EXPECT_EQ(Collect(engine_),
            (Paths{"\\Docs", "\\Docs\\Old", "\\Docs\\report.final.txt", "\\notes.txt"}));
  engine_.Options().strFileMask = "*.*";
  engine_.Options().strStartFolder = "%NOSUCH%";
  EXPECT_FALSE(engine_.CollectFiles(&sink_));
  engine_.Options().strStartFolder = "\\Missing";
  EXPECT_FALSE(engine_.CollectFiles(&sink_));
  EXPECT_FALSE(EnumFolder("\\", "*.*", nullptr, true));
}

TEST_F(CollectTest, AStoppedWalkStaysStoppedUntilReset) {
  engine_.AddIncludeFileRule("all", "*", true, 0);
  sink_.nStopAfter = 2;
  EXPECT_FALSE(engine_.CollectFiles(&sink_));
  EXPECT_EQ(sink_.results.size(), 2u);
  EXPECT_TRUE(engine_.IsStopped());
  sink_.results.clear();
  sink_.nStopAfter = -1;
  EXPECT_FALSE(engine_.CollectFiles(&sink_));
  EXPECT_TRUE(sink_.results.empty());
  // Totals only: counted and totalled, nothing recorded.
  engine_.Reset();
  engine_.AddIncludeFileRule("all", "*.dat", true, 0);
  EXPECT_TRUE(engine_.CollectFiles(&sink_, true));
  EXPECT_TRUE(sink_.results.empty());
  EXPECT_EQ(engine_.CollectedCount(), 2u);
  EXPECT_EQ(engine_.TotalBytes(), 5u);
}

TEST_F(CollectTest, AccessorsAndTheRuleLimit) {
  EXPECT_FALSE(engine_.IsIncludeFileRuleEnabled(-1));
  engine_.SetEnableIncludeFileRule(0, true);  // nothing to change
  engine_.AddIncludeFileRule("a", "*.tmp", false, 0);
  engine_.AddIncludeFileRule("b", "*.txt", true, 0);
  EXPECT_FALSE(engine_.IsIncludeFileRuleEnabled(0));
  EXPECT_TRUE(engine_.IsIncludeFileRuleEnabled(-1));
  EXPECT_FALSE(engine_.IsIncludeFileRuleEnabled(2));
  engine_.SetEnableIncludeFileRule(-1, false);
  engine_.SetEnableIncludeFileRule(0, true);
  EXPECT_EQ(Collect(engine_).size(), 4u) << "only the .tmp rule is in force";

  engine_.Reset();
  for (int i = 0; i < CFSCollect::kMaxRules; ++i) {
    ASSERT_TRUE(engine_.AddIncludeFileRule("r", "x", true, 0));
    ASSERT_TRUE(engine_.AddExcludeFileRule("r", "x", true, 0));
    ASSERT_TRUE(engine_.AddIncludeFolderRule("r", "r", true, true, true, true, false, 0));
    ASSERT_TRUE(engine_.AddExcludeFolderRule("r", "r", true, true, 0));
  }
  EXPECT_EQ(engine_.IncludeFileRuleCount(), 10001);
  EXPECT_FALSE(engine_.AddIncludeFileRule("r", "x", true, 0));
  EXPECT_FALSE(engine_.AddExcludeFileRule("r", "x", true, 0));
  EXPECT_FALSE(engine_.AddIncludeFolderRule("r", "r", true, true, true, true, false, 0));
  EXPECT_FALSE(engine_.AddExcludeFolderRule("r", "r", true, true, 0));
  EXPECT_EQ(engine_.IncludeFileRuleCount(), 10001);
  EXPECT_EQ(engine_.ExcludeFileRuleCount(), 10001);
  EXPECT_EQ(engine_.IncludeFolderRuleCount(), 10001);
  EXPECT_EQ(engine_.ExcludeFolderRuleCount(), 10001);
  engine_.Reset();
  EXPECT_EQ(engine_.IncludeFileRuleCount(), 0);
}

TEST_F(CollectTest, LogLines) {
  MakeFolder("\\logs");
  CLogOptions options;
  options.strFolder = "\\logs";
  options.SetSwitchBits(eLogInfo | eLogNotice | eLogWarn | eLogErr);
  OpenLog(options);
  engine_.AddIncludeFileRule("all", "*.dat", true, 0);
  engine_.CollectFiles(&sink_);
  engine_.IsExcludeFileRuleEnabled(3);
  engine_.SetIncludeFolderRuleExtParams(0, {});
  engine_.Options().strStartFolder = "%NOSUCH%";
  engine_.CollectFiles(&sink_);
  SetLogSwitch(eLogInfo, false);  // 10000 rules' trace lines would only slow the test
  for (int i = 0; i < CFSCollect::kMaxRules; ++i) engine_.AddIncludeFileRule("r", "x", true, 0);
  CloseLog();
  const QString log = QString::fromUtf8(ReadHost("\\logs\\pinbro.log"));
  EXPECT_TRUE(log.contains("]: CFSCollect::CollectFiles(2)...\r\n")) << log.left(600).toStdString();
  EXPECT_TRUE(log.contains("]: CFSCollect::CollectFiles(2)\r\n"));
  EXPECT_TRUE(log.contains("]: CFSCollect::IsExcludeFileRuleEnabled() Index out of range (3)\r\n"));
  EXPECT_TRUE(
      log.contains("]: CFSCollect::SetIncludeFolderRuleExtParams() Index out of range...\r\n"));
  EXPECT_TRUE(log.contains("]:   Start folder is NULL...\r\n"));
  EXPECT_EQ(log.count("CFSCollect::AddIncludeFileRule() Maximum number of include files reached, "
                      "aborting..."),
            1);
}

}  // namespace
