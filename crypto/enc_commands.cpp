// The encrypt and decrypt commands: one file in its own window, or a selection walked into a
// plan and run file by file in one multi-item window with one password.
#include "crypto/enc_commands.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/path_helpers.h"
#include "core/app_log.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "crypto/enc_engine.h"
#include "fileops/op_run.h"
#include "fileops/op_texts.h"
#include "fileops/plan_walk.h"
#include "fileops/progress.h"
#include "fileops/replace_question.h"
#include "fileops/shredder.h"
#include "core/view_notify.h"
#include "platform/dir_walk.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace crypto {
namespace {

using fileops::IProgressWindow;

constexpr UINT IDI_PROGRESS_CRYPT_MULTI_1 = 364;
constexpr UINT IDI_PROGRESS_CRYPT_MULTI_2 = 365;
// The header's size word holds 32 bits: larger sources cannot be encrypted.
constexpr quint64 kMaxPlainSize = 0xFFFFFFFFull;
// The largest ".enc" file there can be: the header and the largest body in whole blocks.
constexpr quint64 kMaxEncFileSize = kEncHeaderSize + ((kMaxPlainSize + 7) / 8) * 8;
constexpr DWORD kCallbackGoOn = 0;
constexpr DWORD kCallbackStop = 1;

bool IsEncrypt(ECryptDirection direction) { return direction == ECryptDirection::eEncrypt; }

// The text of the number for encrypting or of the one for decrypting (core/texts.h).
QString TextOf(ECryptDirection direction, int nEncrypt, int nDecrypt) {
  return core::Text(IsEncrypt(direction) ? nEncrypt : nDecrypt);
}
QString SingleCaption(ECryptDirection direction) { return TextOf(direction, 55295, 61222); }
QString MultiTitle(ECryptDirection direction, bool bOneFolder) {
  return bOneFolder ? TextOf(direction, 57695, 57697) : TextOf(direction, 57699, 57701);
}
QString MultiCaption(ECryptDirection direction, bool bOneFolder) {
  return bOneFolder ? TextOf(direction, 57696, 57698) : TextOf(direction, 57700, 57702);
}
QString CountText(ECryptDirection direction, quint64 done, quint64 total) {
  return fileops::CountLine(IsEncrypt(direction) ? 57703 : 57704, done, total);
}
QString ErrorCodeHeader(DWORD code) { return core::Text(900300).arg(code); }

// What the user is told about a file that was refused or failed. A stop is a cancel: silent.
void ReportFailure(ECryptDirection direction, const QString& strSource, DWORD code) {
  if (code == eCryptoErrStopped) return;
  const QString title = CryptTitle(direction);
  fileops::CFailureBox box;
  if (code == eCryptoErrTooLarge) {
    box = {core::Text(900301).arg(strSource), title};
  } else if (IsEncrypt(direction)) {
    box = {core::Text(900302).arg(strSource), title, ErrorCodeHeader(code)};
  } else if (code == eCryptoErrBadPassword) {
    box = {core::Text(61244), title};
  } else {
    box = {core::Text(55164).arg(strSource), title, ErrorCodeHeader(code)};
  }
  const QString reason = IsEncrypt(direction) ? QStringLiteral("Could not encrypt")
                                              : QStringLiteral("Could not decrypt");
  fileops::COpRun::Report({static_cast<int>(code), 0, strSource, reason}, box);
}

// Decrypting gives back a plain file whose name may since have been taken by another file
// of the user's; that file is replaced only when the user says so. (Encrypting replaces an
// existing ".enc" file without asking, as it always has.)
bool MayWriteDestination(ECryptDirection direction, const QString& strDest) {
  if (IsEncrypt(direction) || plat::GetFileAttributes(strDest) == INVALID_FILE_ATTRIBUTES)
    return true;
  return fileops::ConfirmReplaceFile(browse::ParentPath(strDest), browse::LastComponent(strDest));
}

// The checks made before anything is opened: the output's path, and the sizes the format can
// hold. eCryptoErrNone with *pDest set, or the code to report.
DWORD CheckSource(ECryptDirection direction, const QString& strSource, QString* pDest) {
  WIN32_FIND_DATAW data{};
  const bool bFound = plat::FindOne(strSource, &data);
  if (IsEncrypt(direction)) {
    *pDest = EncryptedName(strSource);
    if (bFound && plat::FindSize(data) > kMaxPlainSize) return eCryptoErrTooLarge;
    return eCryptoErrNone;
  }
  *pDest = DecryptedName(strSource);
  // Without the ".enc" suffix the output would be the source itself.
  if (pDest->isEmpty()) return eCryptoErrOpen;
  if (bFound && plat::FindSize(data) > kMaxEncFileSize) return eCryptoErrBadHeader;
  return eCryptoErrNone;
}

// Turns the engine's events into the window's bars and answers its Cancel. A single-item
// window shows the file on its one bar; a multi-item window on its item bar, and the run's
// bar advances with the file up to the file's share of it (uShare).
class CCryptProgress {
 public:
  CCryptProgress(IProgressWindow* pProgress, quint64 uRunPosBefore, quint64 uShare)
      : progress_(pProgress),
        multi_(pProgress->Kind() == fileops::eProgressMulti),
        runPosBefore_(uRunPosBefore),
        share_(uShare) {}

  FnCryptoCallback Callback() {
    return [this](DWORD dwEvent, DWORD dwValue, DWORD, DWORD) { return OnEvent(dwEvent, dwValue); };
  }

 private:
  DWORD OnEvent(DWORD dwEvent, DWORD dwValue) {
    if (dwEvent == ePrepareHeaderOK || dwEvent == eCheckHeaderOK) {
      range_ = dwValue;
      done_ = 0;
      if (multi_) {
        progress_->SetItemRange(0, range_);
        progress_->SetItemPos(0);
      } else {
        progress_->SetRange(0, range_);
        progress_->SetPos(0);
      }
    } else if (dwEvent == eWriteNodeOK && dwValue != 0) {
      // Written bytes include the padding of the last block: the bar stops at its end.
      done_ += dwValue;
      const quint64 pos = std::min(done_, range_);
      if (multi_) {
        progress_->SetItemPos(pos);
        progress_->SetPos(runPosBefore_ + std::min(pos, share_));
      } else {
        progress_->SetPos(pos);
      }
    }
    return progress_->IsCancelled() ? kCallbackStop : kCallbackGoOn;
  }

  IProgressWindow* progress_;
  bool multi_;
  quint64 runPosBefore_;
  quint64 share_;
  quint64 range_ = 0;  // the file's size as the engine announced it
  quint64 done_ = 0;   // bytes the engine wrote so far
};

// One engine run with a fresh key, released at once.
DWORD RunEngine(ECryptDirection direction, const QString& strSource, const QString& strDest,
                const QString& strPassword, CCryptProgress& progress) {
  CCryptoSettings settings;
  settings.strPassword = strPassword;
  settings.fnCallback = progress.Callback();
  settings.fnTrace = [](const QString& strLine) { LogNotice(u"  %s", strLine); };
  CCryptoEngine& engine = CCryptoEngine::Global();
  engine.SetKey(settings);
  const DWORD code = IsEncrypt(direction) ? engine.Encrypt(strSource, strDest, settings)
                                          : engine.Decrypt(strSource, strDest, settings);
  engine.ReleaseKey();
  return code;
}

// After a successful run: the views learn of the output; the source goes when asked for, and
// only once the output's name is on stable storage too. A source that cannot be deleted stays.
void FinishOutput(const QString& strSource, const QString& strDest, bool bDeleteSource) {
  fileops::NotifyItemAdded(strDest);
  if (!bDeleteSource) return;
  if (!plat::FlushFolder(browse::ParentPath(strDest))) {
    LogErr(u"Could not flush the folder of %s, so %s is kept: %s", strDest, strSource,
           SystemErrorText(plat::GetLastError()));
    return;
  }
  if (fileops::ShredFile(strSource)) {
    fileops::NotifyItemRemoved(strSource);
  } else {
    LogErr(u"Could not delete %s: %s", strSource, SystemErrorText(plat::GetLastError()));
  }
}

// One file in its own window: an ECryptCmdResult.
int RunSingleFile(ECryptDirection direction, const QString& strPath, IPasswordPrompt& prompt) {
  QString dest;
  if (const DWORD refused = CheckSource(direction, strPath, &dest)) {
    ReportFailure(direction, strPath, refused);
    return eCryptCmdFailed;
  }
  if (!MayWriteDestination(direction, dest)) return eCryptCmdFailed;
  CPasswordChoice choice;
  if (!prompt.AskPassword(direction, &choice)) return eCryptCmdDeclined;

  fileops::COpRun run(QString(), fileops::COpRun::eNoBuffer);
  IProgressWindow& progress =
      run.Open({.kind = fileops::eProgressSingle,
                .uIcon1 = fileops::IDI_PROGRESS_CRYPT_1,
                .uIcon2 = fileops::IDI_PROGRESS_CRYPT_2,
                .strTitle = CryptTitle(direction),
                .strCaption = SingleCaption(direction),
                .bSetRange = false,
                .bSetPos = false,
                .strFile = IsEncrypt(direction) ? browse::LastComponent(strPath) : strPath});
  CCryptProgress report(&progress, 0, 0);
  const DWORD code = RunEngine(direction, strPath, dest, choice.strPassword, report);
  run.Close();

  if (code != eCryptoErrNone) {
    ReportFailure(direction, strPath, code);
    return code == eCryptoErrStopped ? eCryptCmdCancelled : eCryptCmdFailed;
  }
  FinishOutput(strPath, dest, choice.bDeleteSource);
  return eCryptCmdOK;
}

// ---- Selections ----

// One step of a selection run: a file to work on, or a folder (which only moves the bar).
struct CPlanStep {
  QString strPath;
  quint64 uSize = 0;   // a file's size as the walk saw it
  bool bFolder = false;
  QString strRefusal;  // a folder that could not be read, or a selected link: why
};

struct CPlan {
  std::vector<CPlanStep> steps;
  quint64 files = 0;
  quint64 barRange = 0;  // file bytes, and kFolderProgressBytes per folder
};

void AddFile(CPlan* pPlan, const QString& strPath, quint64 uSize) {
  pPlan->steps.push_back({strPath, uSize, false, {}});
  ++pPlan->files;
  pPlan->barRange += uSize;
}

// A folder and everything below it, without entering links to folders. Decryption takes only
// the ".enc" files of a folder; encryption every file. The whole plan is made before anything
// is written, so the outputs of the run are never taken as inputs.
class CPlanWalk final : public fileops::IPlanVisitor {
 public:
  CPlanWalk(ECryptDirection direction, CPlan* pPlan) : direction_(direction), plan_(pPlan) {}

 private:
  using CWalkItem = fileops::CWalkItem;
  using EWalk = fileops::EWalk;

  EWalk FolderEntered(const CWalkItem& folder) override {
    ++depth_;
    AddFolder(folder.strPath);
    return EWalk::eGoOn;
  }
  EWalk FolderLeft(const CWalkItem&) override {
    --depth_;
    return EWalk::eGoOn;
  }
  EWalk File(const CWalkItem& file) override {
    if (IsEncrypt(direction_) || IsEncryptedFileName(file.strPath))
      AddFile(plan_, file.strPath, file.Size());
    return EWalk::eGoOn;
  }
  EWalk LinkNotFollowed(const CWalkItem& link) override {
    if (depth_ > 0) {
      LogNotice(u"  Skipped the link to a folder %s", link.strPath);
    } else {  // a selected link is refused
      AddFolder(link.strPath);
      plan_->steps.back().strRefusal = core::Text(900303);
    }
    return EWalk::eGoOn;
  }
  EWalk Refused(const CWalkItem& folder, DWORD dwError) override {
    FolderStepOf(folder.strPath)->strRefusal = SystemErrorText(dwError);
    return EWalk::eGoOn;
  }
  // A file it cannot name is not encrypted: the folder says why (its other files are).
  EWalk Unnamed(const CWalkItem& folder, const QString& strShownName) override {
    QString& strRefusal = FolderStepOf(folder.strPath)->strRefusal;
    if (strRefusal.isEmpty())
      strRefusal = core::Text(900223).arg(strShownName, core::Text(900220));
    return EWalk::eGoOn;
  }
  void AddFolder(const QString& strPath) {
    plan_->steps.push_back({strPath, 0, true, {}});
    plan_->barRange += fileops::kFolderProgressBytes;
  }
  CPlanStep* FolderStepOf(const QString& strPath) {
    for (auto step = plan_->steps.rbegin(); step != plan_->steps.rend(); ++step)
      if (step->bFolder && step->strPath == strPath) return &*step;
    return &plan_->steps.back();
  }

  ECryptDirection direction_;
  CPlan* plan_;
  int depth_ = 0;
};

CPlan MakePlan(ECryptDirection direction, const fileops::CSelection& selection) {
  CPlan plan;
  for (const fileops::CSelItem& item : selection) {
    const QString path = browse::StripTrailingBackslash(item.strPath);
    if (item.nKind == fileops::eSelFolder) {
      CPlanWalk walk(direction, &plan);
      fileops::WalkFolder(path, walk);
    } else {
      WIN32_FIND_DATAW data{};
      AddFile(&plan, path, plat::FindOne(path, &data) ? plat::FindSize(data) : 0);
    }
  }
  return plan;
}

bool HasWork(const CPlan& plan) {
  return plan.files != 0 || std::any_of(plan.steps.begin(), plan.steps.end(),
                                        [](const CPlanStep& s) { return !s.strRefusal.isEmpty(); });
}

// The run over a plan in one multi-item window.
class CSelectionRun {
 public:
  CSelectionRun(ECryptDirection direction, const CPlan& plan, const CPasswordChoice& choice)
      : direction_(direction), plan_(plan), choice_(choice) {}

  int Run(bool bOneFolder) {
    fileops::COpRun run(QString(), fileops::COpRun::eNoBuffer);
    progress_ = &run.Open({.kind = fileops::eProgressMulti,
                           .uIcon1 = IDI_PROGRESS_CRYPT_MULTI_1,
                           .uIcon2 = IDI_PROGRESS_CRYPT_MULTI_2,
                           .strTitle = MultiTitle(direction_, bOneFolder),
                           .strCaption = MultiCaption(direction_, bOneFolder),
                           .uRange = plan_.barRange,
                           .strStatus = CountText(direction_, 0, plan_.files)});
    int result = eCryptCmdOK;
    for (const CPlanStep& step : plan_.steps) {
      if (progress_->IsCancelled()) {
        result = eCryptCmdCancelled;
        break;
      }
      const DWORD code = step.bFolder ? FolderStep(step) : FileStep(step);
      if (code == eCryptoErrStopped) {
        result = eCryptCmdCancelled;
        break;
      }
      if (code != eCryptoErrNone) result = eCryptCmdFailed;
    }
    return result;
  }

 private:
  DWORD FolderStep(const CPlanStep& step) {
    pos_ += fileops::kFolderProgressBytes;
    progress_->SetPos(pos_);
    if (step.strRefusal.isEmpty()) return eCryptoErrNone;
    fileops::COpRun::Report(
        {eCryptoErrRead, 0, step.strPath, QStringLiteral("Refused the folder (%1)").arg(step.strRefusal)},
        {TextOf(direction_, 900304, 900305).arg(step.strPath, step.strRefusal),
         CryptTitle(direction_)});
    return eCryptoErrRead;
  }

  // One file as the single-file command does it, with the run's password.
  DWORD FileStep(const CPlanStep& step) {
    progress_->SetFileLine(browse::LastComponent(step.strPath));
    progress_->SetFromLine(browse::ParentPath(step.strPath));
    progress_->SetItemRange(0, step.uSize);
    progress_->SetItemPos(0);
    QString dest;
    DWORD code = CheckSource(direction_, step.strPath, &dest);
    if (code == eCryptoErrNone && !MayWriteDestination(direction_, dest)) {
      pos_ += step.uSize;  // kept as it is: the file is skipped, the run goes on
      progress_->SetPos(pos_);
      return eCryptoErrNone;
    }
    if (code == eCryptoErrNone) {
      CCryptProgress report(progress_, pos_, step.uSize);
      code = RunEngine(direction_, step.strPath, dest, choice_.strPassword, report);
    }
    if (code == eCryptoErrStopped) return code;
    // The bar moves past the file whatever became of it, so that it still ends full.
    pos_ += step.uSize;
    progress_->SetPos(pos_);
    if (code != eCryptoErrNone) {
      ReportFailure(direction_, step.strPath, code);
      return code;
    }
    FinishOutput(step.strPath, dest, choice_.bDeleteSource);
    progress_->SetStatus(CountText(direction_, ++filesDone_, plan_.files));
    return eCryptoErrNone;
  }

  ECryptDirection direction_;
  const CPlan& plan_;
  const CPasswordChoice& choice_;
  IProgressWindow* progress_ = nullptr;  // the window of the run, while it runs
  quint64 pos_ = 0;
  quint64 filesDone_ = 0;
};

int RunSelection(ECryptDirection direction, const fileops::CSelection& selection,
                 IPasswordPrompt& prompt) {
  const CPlan plan = MakePlan(direction, selection);
  if (!HasWork(plan)) {
    MsgInfo(TextOf(direction, 900306, 900307), CryptTitle(direction), QString());
    return eCryptCmdNothing;
  }
  CPasswordChoice choice;
  if (!prompt.AskPassword(direction, &choice)) return eCryptCmdDeclined;
  const bool bOneFolder = selection.size() == 1 && selection.front().nKind == fileops::eSelFolder;
  CSelectionRun run(direction, plan, choice);
  return run.Run(bOneFolder);
}

int ItemsCommand(ECryptDirection direction, const fileops::CSelection& selection,
                 IPasswordPrompt& prompt) {
  if (selection.empty()) return eCryptCmdNothing;
  if (selection.size() == 1 && selection.front().nKind == fileops::eSelFile)
    return RunSingleFile(direction, selection.front().strPath, prompt);
  return RunSelection(direction, selection, prompt);
}

}  // namespace

QString EncryptedName(const QString& strPath) { return strPath + QStringLiteral(".enc"); }

QString DecryptedName(const QString& strPath) {
  const QString name = browse::LastComponent(strPath);
  if (name.size() <= 4 || !IsEncryptedFileName(name)) return {};
  return strPath.left(strPath.size() - 4);
}

bool IsEncryptedFileName(const QString& strPath) {
  return strPath.endsWith(QLatin1String(".enc"), Qt::CaseInsensitive);
}

bool EncryptFileCommand(const QString& strPath, IPasswordPrompt& prompt) {
  LogTrace(u"EncryptFileCommand(%s)...", strPath);
  const bool bDone = RunSingleFile(ECryptDirection::eEncrypt, strPath, prompt) == eCryptCmdOK;
  LogTrace(u"EncryptFileCommand(%s)", strPath);
  return bDone;
}

bool DecryptFileCommand(const QString& strPath, IPasswordPrompt& prompt) {
  LogTrace(u"DecryptFileCommand(%s)...", strPath);
  const bool bDone = RunSingleFile(ECryptDirection::eDecrypt, strPath, prompt) == eCryptCmdOK;
  LogTrace(u"DecryptFileCommand(%s)", strPath);
  return bDone;
}

bool OpenEncryptedFile(const QString& strPath, IPasswordPrompt& prompt) {
  if (!IsEncryptedFileName(strPath)) return false;
  DecryptFileCommand(strPath, prompt);
  return true;
}

int EncryptItemsCommand(const fileops::CSelection& selection, IPasswordPrompt& prompt) {
  LogTrace(u"EncryptItemsCommand(%d items)...", static_cast<int>(selection.size()));
  const int result = ItemsCommand(ECryptDirection::eEncrypt, selection, prompt);
  LogTrace(u"EncryptItemsCommand(%d items)", static_cast<int>(selection.size()));
  return result;
}

int DecryptItemsCommand(const fileops::CSelection& selection, IPasswordPrompt& prompt) {
  LogTrace(u"DecryptItemsCommand(%d items)...", static_cast<int>(selection.size()));
  const int result = ItemsCommand(ECryptDirection::eDecrypt, selection, prompt);
  LogTrace(u"DecryptItemsCommand(%d items)", static_cast<int>(selection.size()));
  return result;
}

}  // namespace crypto
