#include "ui/zip_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/message_box.h"
#include "core/path_helpers.h"
#include "core/texts.h"
#include "platform/file_system.h"

namespace {

// The level list: text number and the level it stands for.
constexpr struct {
  int nText;
  int level;
} kLevels[] = {{61238, 8}, {61239, 6}, {61240, 4}, {61241, 3}, {61242, 2}, {61243, 1}};

}  // namespace

CDlg_Compress::CDlg_Compress(const QString& strProposedArchive, QWidget* pParent)
    : QDialog(pParent) {
  setObjectName(QStringLiteral("compressDialog"));
  setWindowTitle(core::Text(61232));
  setModal(true);
  auto* root = new QVBoxLayout(this);
  auto* heading = new QLabel(core::Text(61233), this);
  QFont bold = heading->font();
  bold.setBold(true);
  heading->setFont(bold);
  root->addWidget(heading);

  auto* form = new QFormLayout;
  root->addLayout(form);
  folder_ = new QLineEdit(browse::ParentPath(strProposedArchive), this);
  folder_->setObjectName(QStringLiteral("archiveFolder"));
  name_ = new QLineEdit(browse::LastComponent(strProposedArchive), this);
  name_->setObjectName(QStringLiteral("archiveName"));
  mode_ = new QComboBox(this);
  mode_->setObjectName(QStringLiteral("mode"));
  mode_->addItem(core::Text(61234), 0);  // the one mode: add, replacing entries of that name
  level_ = new QComboBox(this);
  level_->setObjectName(QStringLiteral("level"));
  for (const auto& choice : kLevels) level_->addItem(core::Text(choice.nText), choice.level);
  level_->setCurrentIndex(1);
  form->addRow(core::Text(900714), folder_);
  form->addRow(core::Text(900715), name_);
  form->addRow(core::Text(900716), mode_);
  form->addRow(core::Text(900717), level_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(MsgBoxString(IDS_MSGBOX_OK));
  buttons->button(QDialogButtonBox::Cancel)->setText(MsgBoxString(IDS_MSGBOX_CANCEL));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlg_Compress::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CDlg_Compress::reject);
  root->addWidget(buttons);
  setMinimumWidth(360);
  name_->setFocus();
  name_->selectAll();
}

QString CDlg_Compress::ArchivePath() const {
  return browse::AppendPathComponent(folder_->text().trimmed(), name_->text().trimmed());
}

int CDlg_Compress::Level() const { return level_->currentData().toInt(); }

void CDlg_Compress::accept() {
  if (folder_->text().trimmed().isEmpty() || name_->text().trimmed().isEmpty()) return;
  // A new archive replaces a file of that name (the archive is not updated): asked first, and
  // No leaves the dialog open for another name.
  if (plat::GetFileAttributes(ArchivePath()) != INVALID_FILE_ATTRIBUTES &&
      MsgQuestion(core::Text(55157).arg(folder_->text().trimmed(), name_->text().trimmed()),
                  core::Text(61232), core::Text(55158)) != eMsgAnsYes)
    return;
  QDialog::accept();
}
