#include "ui/progress_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/message_box.h"
#include "core/settings.h"
#include "platform/filetime.h"

namespace {

constexpr int kBarSteps = 10000;  // QProgressBar counts in int; 64-bit bars are scaled
constexpr int kIconSize = 32;
constexpr int kLineWidth = 320;   // long paths are elided in the middle to this width

QStyle::StandardPixmap IconOfPair(UINT uIcon1) {
  switch (uIcon1) {
    case fileops::IDI_PROGRESS_DELETE_1: return QStyle::SP_TrashIcon;
    case fileops::IDI_PROGRESS_CRYPT_1: return QStyle::SP_DialogSaveButton;
    default: return QStyle::SP_FileIcon;
  }
}

int BarValue(const fileops::CProgressBarState& bar) {
  if (bar.uMax <= bar.uMin || bar.uPos <= bar.uMin) return 0;
  if (bar.uPos >= bar.uMax) return kBarSteps;
  const unsigned __int128 uScaled =
      static_cast<unsigned __int128>(bar.uPos - bar.uMin) * kBarSteps / (bar.uMax - bar.uMin);
  return static_cast<int>(uScaled);
}

QLabel* NewLabel(QWidget* pParent, const char* pszName) {
  auto* pLabel = new QLabel(pParent);
  pLabel->setObjectName(QString::fromLatin1(pszName));
  return pLabel;
}

}  // namespace

CProgressDialog::CProgressDialog(fileops::EProgressKind kind, UINT uIcon1, QWidget* parent)
    : QDialog(parent) {
  setWindowModality(Qt::ApplicationModal);
  auto* pBox = new QVBoxLayout(this);

  auto* pTop = new QHBoxLayout;
  icon_ = NewLabel(this, "icon");
  icon_->setPixmap(style()->standardIcon(IconOfPair(uIcon1)).pixmap(kIconSize, kIconSize));
  caption_ = NewLabel(this, "caption");
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  pTop->addWidget(icon_);
  pTop->addWidget(caption_, 1);
  pBox->addLayout(pTop);

  auto* pGrid = new QGridLayout;
  SetupLines(pGrid);
  pBox->addLayout(pGrid);
  SetupBars(pBox, kind);

  auto* pButtons = new QHBoxLayout;
  pButtons->addStretch(1);
  cancel_ = new QPushButton(MsgBoxString(IDS_MSGBOX_CANCEL), this);
  cancel_->setObjectName(QStringLiteral("cancel"));
  connect(cancel_, &QPushButton::clicked, this, &CProgressDialog::cancelRequested);
  pButtons->addWidget(cancel_);
  pButtons->addStretch(1);
  pBox->addLayout(pButtons);
}

void CProgressDialog::SetupLines(QGridLayout* pGrid) {
  static const char* const kNames[3][2] = {
      {"fileLabel", "fileText"}, {"fromLabel", "fromText"}, {"toLabel", "toText"}};
  for (int i = 0; i < 3; ++i) {
    labels_[i] = NewLabel(this, kNames[i][0]);
    lines_[i] = NewLabel(this, kNames[i][1]);
    lines_[i]->setMinimumWidth(kLineWidth);
    pGrid->addWidget(labels_[i], i, 0);
    pGrid->addWidget(lines_[i], i, 1);
  }
  pGrid->setColumnStretch(1, 1);
}

void CProgressDialog::SetupBars(QVBoxLayout* pBox, fileops::EProgressKind kind) {
  auto newBar = [this](const char* pszName) {
    auto* pBar = new QProgressBar(this);
    pBar->setObjectName(QString::fromLatin1(pszName));
    pBar->setRange(0, kBarSteps);
    pBar->setTextVisible(false);
    return pBar;
  };
  // A multi-item window shows the current file's bar above the run's bar.
  if (kind == fileops::eProgressMulti) {
    itemBar_ = newBar("itemBar");
    itemStatus_ = NewLabel(this, "itemStatus");
    pBox->addWidget(itemBar_);
    pBox->addWidget(itemStatus_);
  }
  bar_ = newBar("bar");
  status_ = NewLabel(this, "status");
  pBox->addWidget(bar_);
  pBox->addWidget(status_);

  auto* pTimes = new QHBoxLayout;
  left_ = NewLabel(this, "timeLeft");
  passed_ = NewLabel(this, "timePassed");
  total_ = NewLabel(this, "timeTotal");
  pTimes->addWidget(left_);
  pTimes->addStretch(1);
  pTimes->addWidget(passed_);
  pTimes->addStretch(1);
  pTimes->addWidget(total_);
  pBox->addLayout(pTimes);
}

void CProgressDialog::SetLine(int nLine, const QString& strLabel, const QString& strText) {
  labels_[nLine]->setText(strLabel);
  const QString strShown =
      lines_[nLine]->fontMetrics().elidedText(strText, Qt::ElideMiddle, kLineWidth);
  lines_[nLine]->setText(strShown);
  lines_[nLine]->setToolTip(strShown == strText ? QString() : strText);
}

void CProgressDialog::ShowState(const fileops::CProgressWindowBase& state, DWORD dwNowTick) {
  setWindowTitle(state.Title());
  caption_->setText(state.Caption());
  SetLine(0, state.FileLabel(), state.FileLine());
  SetLine(1, state.FromLabel(), state.FromLine());
  SetLine(2, state.ToLabel(), state.ToLine());

  const bool bShowStatus = settings.PrgCtrl_Show_Status != 0;
  bar_->setValue(BarValue(state.Bar()));
  status_->setText(state.Status());
  status_->setVisible(bShowStatus);
  if (itemBar_ != nullptr) {
    itemBar_->setValue(BarValue(state.ItemBar()));
    itemStatus_->setText(state.ItemStatus());
    itemStatus_->setVisible(bShowStatus);
  }

  const fileops::CTimeEstimate estimate = state.Estimate(dwNowTick);
  left_->setText(fileops::TimeLeftText(estimate.dwLeft));
  passed_->setText(fileops::TimePassedText(estimate.dwPassed));
  total_->setText(fileops::TimeTotalText(estimate.dwTotal));
  total_->setVisible(settings.PrgCtrl_Show_Total_Time != 0);
  cancel_->setVisible(state.IsCancelShown());
}

void CProgressDialog::reject() { emit cancelRequested(); }

CDesktopProgressWindow::CDesktopProgressWindow(fileops::EProgressKind kind, UINT uIcon1,
                                               UINT /*uIcon2*/, QWidget* pParent)
    : CProgressWindowBase(kind), uIcon1_(uIcon1), parent_(pParent) {}

CDesktopProgressWindow::~CDesktopProgressWindow() { delete dialog_.data(); }

void CDesktopProgressWindow::OnChanged(fileops::EProgressChange change) {
  switch (change) {
    case fileops::eProgressChangeShown: {
      QWidget* pParent = parent_ ? parent_.data() : QApplication::activeWindow();
      dialog_ = new CProgressDialog(Kind(), uIcon1_, pParent);
      QObject::connect(dialog_, &CProgressDialog::cancelRequested, dialog_,
                       [this] { RequestCancel(); });
      dialog_->show();
      RefreshAndPump();
      return;
    }
    case fileops::eProgressChangeClosed:
      delete dialog_.data();
      return;
    default:
      // Reports arrive after every chunk; only one per interval reaches the screen.
      if (dialog_ && sinceRefresh_.hasExpired(kRefreshIntervalMs)) RefreshAndPump();
      return;
  }
}

void CDesktopProgressWindow::RefreshAndPump() {
  dialog_->ShowState(*this, plat::GetTickCount());
  sinceRefresh_.start();
  ++nEventPasses_;
  // Paints the pending update and delivers a Cancel click. The dialog may be gone afterwards
  // only through Close(), which the operation calls, not from inside this pass.
  QCoreApplication::processEvents();
}

std::unique_ptr<fileops::IProgressWindow> CDesktopProgressFactory::CreateProgressWindow(
    fileops::EProgressKind kind, UINT uIcon1, UINT uIcon2) {
  return std::make_unique<CDesktopProgressWindow>(kind, uIcon1, uIcon2);
}
