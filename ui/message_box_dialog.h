#pragma once
// The desktop's message box: one modal dialog for every box kind, in the kind's layout (one
// button; Yes and No; or Yes, No, "Yes to all", "No to all" and Cancel), with the kind's
// icon, the heading in bold, the body text, the title in the caption and, when the caller gave
// a message number, a "Do not ask again" choice.

#include <QDialog>
#include <map>

#include "core/message_box.h"

class QCheckBox;
class QLabel;
class QPushButton;

class CMessageBoxDialog : public QDialog {
  Q_OBJECT

 public:
  // bHighRes doubles every pixel size (icon, margins, spacing, button widths).
  CMessageBoxDialog(const CMsgBoxRequest& request, bool bHighRes, QWidget* parent = nullptr);

  // The answer of the pressed button; the Escape answer until one is pressed.
  int Answer() const { return answer_; }
  // Whether "Do not ask again" is ticked and a button was pressed: closing the box without
  // choosing a button is never remembered.
  bool Remember() const;

  // The button of an answer, or null when the box does not offer it.
  QPushButton* Button(int nAnswer) const;
  // The "Do not ask again" check box, or null when the box does not offer it.
  QCheckBox* RememberBox() const { return remember_; }
  QLabel* HeadingLabel() const { return heading_; }
  QLabel* BodyLabel() const { return body_; }
  QLabel* IconLabel() const { return icon_; }

 protected:
  // Escape and the caption's close button answer Cancel where offered, else No, else OK.
  void reject() override;

 private:
  void SetupTexts(const CMsgBoxRequest& request, int scale);
  void SetupButtons(const CMsgBoxRequest& request, int scale);
  void Finish(int nAnswer);

  int answer_;
  int escapeAnswer_;
  bool pressed_ = false;
  QLabel* icon_ = nullptr;
  QLabel* heading_ = nullptr;
  QLabel* body_ = nullptr;
  QCheckBox* remember_ = nullptr;
  std::map<int, QPushButton*> buttons_;
};

// The desktop front-end of the message box service: shows a CMessageBoxDialog over the active
// window and waits for it.
class CDesktopMessageBoxUi : public IMessageBoxUi {
 public:
  explicit CDesktopMessageBoxUi(bool bHighRes) : highRes_(bHighRes) {}
  CMsgBoxReply ShowMessageBox(const CMsgBoxRequest& request) override;

 private:
  bool highRes_;
};
