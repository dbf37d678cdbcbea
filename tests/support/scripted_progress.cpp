#include "support/scripted_progress.h"

namespace test {

QStringList CProgressRecord::TextsOf(const QString& strName) const {
  QStringList texts;
  for (const CProgressCall& call : calls) {
    if (call.strName == strName) texts << call.strText;
  }
  return texts;
}

std::vector<CProgressCall> CProgressRecord::CallsOf(const QString& strName) const {
  std::vector<CProgressCall> found;
  for (const CProgressCall& call : calls) {
    if (call.strName == strName) found.push_back(call);
  }
  return found;
}

// A window that writes each call and its resulting state into the factory's record. The
// record is addressed by index: the vector may grow while the window lives.
class CScriptedProgress::CWindow final : public fileops::CProgressWindowBase {
 public:
  CWindow(CScriptedProgress* pOwner, size_t index, fileops::EProgressKind kind)
      : CProgressWindowBase(kind), owner_(pOwner), index_(index) {
    Sync();
  }
  ~CWindow() override {
    Base::Close();  // a window destroyed without Close() is closed, but no call is recorded
    Sync();
    Record().bDestroyed = true;
  }

  void Show() override { Call("Show"), CProgressWindowBase::Show(), Sync(); }
  void Close() override { Call("Close"), CProgressWindowBase::Close(), Sync(); }
  void SetTitle(const QString& s) override { Call("SetTitle", s), Base::SetTitle(s), Sync(); }
  void SetCaption(const QString& s) override {
    Call("SetCaption", s), Base::SetCaption(s), Sync();
  }
  void SetFileLine(const QString& s) override {
    Call("SetFileLine", s), Base::SetFileLine(s), Sync();
  }
  void SetFromLine(const QString& s) override {
    Call("SetFromLine", s), Base::SetFromLine(s), Sync();
  }
  void SetToLine(const QString& s) override { Call("SetToLine", s), Base::SetToLine(s), Sync(); }
  void SetLineLabels(const QString& a, const QString& b, const QString& c) override {
    Call("SetLineLabels", a + QLatin1Char('|') + b + QLatin1Char('|') + c);
    Base::SetLineLabels(a, b, c);
    Sync();
  }
  void SetRange(quint64 a, quint64 b) override {
    Call("SetRange", {}, a, b), Base::SetRange(a, b), Sync();
  }
  void SetPos(quint64 a) override { Call("SetPos", {}, a), Base::SetPos(a), Moved(); }
  void AdvancePos(quint64 a) override {
    Call("AdvancePos", {}, a), Base::AdvancePos(a), Moved();
  }
  void SetStatus(const QString& s) override { Call("SetStatus", s), Base::SetStatus(s), Sync(); }
  void SetItemRange(quint64 a, quint64 b) override {
    Call("SetItemRange", {}, a, b), Base::SetItemRange(a, b), Sync();
  }
  void SetItemPos(quint64 a) override { Call("SetItemPos", {}, a), Base::SetItemPos(a), Moved(); }
  void SetItemStatus(const QString& s) override {
    Call("SetItemStatus", s), Base::SetItemStatus(s), Sync();
  }
  void ShowCancel(bool b) override {
    Call("ShowCancel", {}, b ? 1 : 0), Base::ShowCancel(b), Sync();
  }
  bool IsCancelled() const override { return Base::IsCancelled(); }

  void CancelNow() {
    RequestCancel();
    Sync();
  }

 private:
  using Base = fileops::CProgressWindowBase;

  CProgressRecord& Record() { return owner_->records_[index_]; }

  void Call(const char* pszName, const QString& strText = {}, quint64 uA = 0, quint64 uB = 0) {
    Record().calls.push_back({QString::fromLatin1(pszName), strText, uA, uB});
  }

  void Moved() {
    ++owner_->nPositionUpdates_;
    if (owner_->cancelAt_ && owner_->nPositionUpdates_ >= *owner_->cancelAt_) RequestCancel();
    Sync();
  }

  void Sync() {
    CProgressRecord& r = Record();
    r.strTitle = Title();
    r.strCaption = Caption();
    r.strFile = FileLine();
    r.strFrom = FromLine();
    r.strTo = ToLine();
    r.strFileLabel = FileLabel();
    r.strFromLabel = FromLabel();
    r.strToLabel = ToLabel();
    r.strStatus = Status();
    r.strItemStatus = ItemStatus();
    r.bar = Bar();
    r.itemBar = ItemBar();
    r.bShown = IsShown();
    r.bClosed = IsClosed();
    r.bCancelShown = IsCancelShown();
    r.bCancelled = IsCancelled();
  }

  CScriptedProgress* owner_;
  size_t index_;
};

CScriptedProgress::CScriptedProgress() : install_(this) {}

CScriptedProgress::~CScriptedProgress() = default;

void CScriptedProgress::CancelAfterPositionUpdates(int n) {
  cancelAt_ = nPositionUpdates_ + n;
}

std::unique_ptr<fileops::IProgressWindow> CScriptedProgress::CreateProgressWindow(
    fileops::EProgressKind kind, UINT uIcon1, UINT uIcon2) {
  CProgressRecord record;
  record.kind = kind;
  record.uIcon1 = uIcon1;
  record.uIcon2 = uIcon2;
  records_.push_back(record);
  auto pWindow = std::make_unique<CWindow>(this, records_.size() - 1, kind);
  if (cancelAt_ && nPositionUpdates_ >= *cancelAt_) pWindow->CancelNow();
  return pWindow;
}

}  // namespace test
