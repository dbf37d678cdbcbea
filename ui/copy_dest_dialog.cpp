#include "ui/copy_dest_dialog.h"

#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include <vector>

#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "platform/device_root.h"
#include "platform/file_system.h"
#include "platform/find.h"

namespace {

bool IsFolder(const QString& strPath) {
  const DWORD dwAttributes = plat::GetFileAttributes(strPath);
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CDlg_CopyDest::CDlg_CopyDest(bool bMove, int nItems, const QString& strProposed,
                             QWidget* pParent)
    : QDialog(pParent) {
  setObjectName(QStringLiteral("copyDestDialog"));
  setWindowTitle(core::Text(bMove ? 901201 : 901200));
  setModal(true);
  auto* pRoot = new QVBoxLayout(this);
  const int nText = bMove ? (nItems == 1 ? 901204 : 901205) : (nItems == 1 ? 901202 : 901203);
  count_ = new QLabel(nItems == 1 ? core::Text(nText) : core::Text(nText).arg(nItems), this);
  pRoot->addWidget(count_);
  edit_ = new QLineEdit(strProposed, this);
  edit_->setObjectName(QStringLiteral("destFolder"));
  proposals_ = new QStringListModel(this);
  completer_ = new QCompleter(proposals_, this);
  completer_->setCaseSensitivity(Qt::CaseInsensitive);
  edit_->setCompleter(completer_);
  connect(edit_, &QLineEdit::textEdited, this, &CDlg_CopyDest::UpdateProposals);
  UpdateProposals(strProposed);
  pRoot->addWidget(edit_);
  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  pButtons->button(QDialogButtonBox::Ok)->setText(MsgBoxString(IDS_MSGBOX_OK));
  pButtons->button(QDialogButtonBox::Ok)->setDefault(true);
  pButtons->button(QDialogButtonBox::Cancel)->setText(MsgBoxString(IDS_MSGBOX_CANCEL));
  connect(pButtons, &QDialogButtonBox::accepted, this, &CDlg_CopyDest::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &CDlg_CopyDest::reject);
  pRoot->addWidget(pButtons);
  setMinimumWidth(420);
  edit_->setFocus();
  edit_->selectAll();
}

QStringList CDlg_CopyDest::Proposals() const { return proposals_->stringList(); }

void CDlg_CopyDest::UpdateProposals(const QString& strText) {
  // The folder the text names up to its last separator; its sub-folders complete the rest.
  const int nCut = qMax(strText.lastIndexOf('\\'), strText.lastIndexOf('/'));
  const QString strFolder = nCut <= 0 ? QStringLiteral("\\") : strText.left(nCut);
  QString strCanonical;
  if (!plat::CDeviceRoot::Canonical(strFolder, &strCanonical)) return;
  if (strCanonical == listedFolder_) return;
  listedFolder_ = strCanonical;
  QStringList folders;
  std::vector<WIN32_FIND_DATAW> entries;
  if (plat::ReadFolderEntries(strCanonical, &entries))
    for (const WIN32_FIND_DATAW& data : entries)
      if (plat::IsWalkableFolder(data))
        folders << browse::AppendPathComponent(strFolder, plat::FindName(data));
  folders.sort(Qt::CaseInsensitive);
  proposals_->setStringList(folders);
}

void CDlg_CopyDest::accept() {
  QString strCanonical;
  const QString strText = edit_->text().trimmed();
  if (strText.isEmpty() || !plat::CDeviceRoot::Canonical(strText, &strCanonical) ||
      !IsFolder(strCanonical)) {
    MsgError(core::Text(901206).arg(strText), windowTitle(), QString());
    edit_->setFocus();
    return;
  }
  folder_ = strCanonical;
  QDialog::accept();
}
