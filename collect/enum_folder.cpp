#include "collect/enum_folder.h"

#include <vector>

#include "core/app_log.h"
#include "core/path_helpers.h"
#include "fileops/plan_walk.h"
#include "platform/find.h"

namespace collect {
namespace {

using fileops::CWalkItem;
using fileops::EWalk;

class CEnumWalk final : public fileops::IPlanVisitor {
 public:
  CEnumWalk(const QString& strTop, const QString& strMask, IFindDataSink& sink, bool bRecursive)
      : top_(strTop), mask_(strMask), sink_(sink), recursive_(bRecursive) {}
  bool topRefused = false;

 private:
  bool IsTop(const CWalkItem& item) const { return !inside_ && item.strPath == top_; }

  // The entry handed to the sink, with the path of the folder being walked; false when the
  // sink ends the walk.
  bool Report(const CWalkItem& item) {
    if (folders_.empty()) return sink_.OnFindData(item, browse::ParentPath(item.strPath));
    return sink_.OnFindData(item, folders_.back());
  }
  bool Matches(const CWalkItem& item) const {
    return plat::FindPatternMatches(mask_, plat::FindNameView(item.data));
  }

  EWalk FolderEntered(const CWalkItem& folder) override {
    if (IsTop(folder)) {
      inside_ = true;
      folders_.push_back(folder.strPath);
      return EWalk::eGoOn;
    }
    if (!Matches(folder)) return EWalk::eSkip;
    if (!Report(folder)) return EWalk::eStop;
    if (!recursive_) return EWalk::eSkip;
    folders_.push_back(folder.strPath);
    return EWalk::eGoOn;
  }
  EWalk FolderLeft(const CWalkItem&) override {
    if (!folders_.empty()) folders_.pop_back();
    return EWalk::eGoOn;
  }
  EWalk File(const CWalkItem& file) override {
    if (!Matches(file)) return EWalk::eGoOn;
    return Report(file) ? EWalk::eGoOn : EWalk::eStop;
  }
  // A link to a folder is an entry of its folder, as a listing shows it; it is never entered.
  EWalk LinkNotFollowed(const CWalkItem& link) override {
    if (IsTop(link)) {
      topRefused = true;
      return EWalk::eStop;
    }
    if (!Matches(link)) return EWalk::eGoOn;
    return Report(link) ? EWalk::eGoOn : EWalk::eStop;
  }
  // A link whose target is not looked up yet: the sink reads its record if a rule needs it.
  EWalk Link(const CWalkItem& link) override {
    if (!Matches(link)) return EWalk::eGoOn;
    return Report(link) ? EWalk::eGoOn : EWalk::eStop;
  }
  EWalk Refused(const CWalkItem& folder, DWORD) override {
    if (folder.strPath == top_) topRefused = true;
    return EWalk::eGoOn;
  }

  QString top_;
  QString mask_;
  IFindDataSink& sink_;
  bool recursive_;
  bool inside_ = false;  // the top folder was entered
  std::vector<QString> folders_;  // the entered folders, the one being walked last
};

}  // namespace

bool EnumFolder(const QString& strFolder, const QString& strMask, IFindDataSink* pSink,
                bool bRecursive, fileops::EWalkRead read) {
  if (!pSink) {
    LogNotice(u"  pEnumFS is NULL, exiting...");
    return false;
  }
  const QString top = browse::StripTrailingBackslash(strFolder);
  CEnumWalk walk(top, strMask, *pSink, bRecursive);
  const bool bDone = fileops::WalkFolder(top, walk, read);
  return bDone && !walk.topRefused;
}

}  // namespace collect
