#include "ui/search_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "collect/search_results.h"
#include "collect/search_run.h"
#include "core/texts.h"
#include "ui/list_view.h"

CSearchView::CSearchView(QWidget* pParent) : QWidget(pParent) {
  CListPanelOptions options;
  options.bWorker = false;        // icons of the rows on screen are computed as they show
  options.bFollowChanges = true;  // rows of deleted and renamed results follow
  IListPanelObserver* pObserver = this;
  list_ = std::make_unique<CListPanel>(ePanel_A, pObserver, options);
  auto* pColumn = new QVBoxLayout(this);
  pColumn->setContentsMargins(0, 0, 0, 0);
  pColumn->setSpacing(0);
  auto* pHeader = new QWidget(this);
  auto* pRow = new QHBoxLayout(pHeader);
  pRow->setContentsMargins(3, 1, 3, 1);
  title_ = new QLabel(pHeader);
  close_ = new QPushButton(core::Text(55121), pHeader);
  pRow->addWidget(title_, 1);
  pRow->addWidget(close_);
  pColumn->addWidget(pHeader);
  view_ = new CListView(*list_, 5, this);
  pColumn->addWidget(view_, 1);
  list_->SetViewReady();
  connect(close_, &QPushButton::clicked, this, &CSearchView::closeRequested);
}

CSearchView::~CSearchView() {
  run_.reset();  // the thread ends before the list goes
}

void CSearchView::Start(const QString& strText, const QString& strStartFolder) {
  run_.reset();
  const std::shared_ptr<collect::CSearchResults>& results = collect::CurrentSearchResults();
  results->Start(strText, strStartFolder);
  results->running = true;
  CListingRequest request;
  request.nSortField = collect::eSearchField_Found;
  list_->ShowListing(std::make_unique<collect::CSearchListSource>(results), request);
  run_ = std::make_unique<collect::CSearchRun>(
      strText, strStartFolder, this,
      [this](std::vector<collect::CSearchResults::CResult>&& batch, quint64 uFolders) {
        const std::shared_ptr<collect::CSearchResults>& store = collect::CurrentSearchResults();
        store->foldersSearched = uFolders;
        CListEntries rows;
        store->Rows(store->Add(batch), &rows);
        list_->AppendEntries(&rows);
      },
      [this](bool, quint64 uFolders) {
        const std::shared_ptr<collect::CSearchResults>& store = collect::CurrentSearchResults();
        store->foldersSearched = uFolders;
        store->running = false;
        CListEntries none;
        list_->AppendEntries(&none);  // the final counts
        emit runningChanged(false);
      });
  emit runningChanged(true);
}

void CSearchView::Stop() {
  if (run_) run_->Stop();
}

bool CSearchView::IsRunning() const { return run_ && run_->IsRunning(); }

void CSearchView::OnPanelStatusText(EPanelId, const QString& strText) {
  // The search text is in the window's title, the address bar and the header bar already;
  // the view's own header counts what the search has done.
  title_->setText(strText);
  emit statusTextChanged(strText);
}

void CSearchView::OnPanelOpenFile(EPanelId, const QString& strFullPath) {
  emit openRequested(strFullPath);
}

void CSearchView::OnPanelRefused(EPanelId, const QString& strFullPath, DWORD dwError) {
  emit openRefused(strFullPath, dwError);
}
