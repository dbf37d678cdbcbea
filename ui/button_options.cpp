#include "ui/button_options.h"

#include <QApplication>
#include <QEvent>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>

#include "core/message_box.h"
#include "core/settings.h"

namespace {

// Draws everything as the application's style does, without the focus mark.
class CNoFocusMarkStyle : public QProxyStyle {
 public:
  CNoFocusMarkStyle() : QProxyStyle(QApplication::style()->name()) {}
  void drawPrimitive(PrimitiveElement element, const QStyleOption* pOption, QPainter* pPainter,
                     const QWidget* pWidget) const override {
    if (element == PE_FrameFocusRect) return;
    QProxyStyle::drawPrimitive(element, pOption, pPainter, pWidget);
  }
};

QStyle* NoFocusMarkStyle() {
  static CNoFocusMarkStyle* pStyle = [] {
    auto* p = new CNoFocusMarkStyle();
    p->setParent(qApp);
    return p;
  }();
  return pStyle;
}

class CButtonWatcher : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    if (pEvent->type() == QEvent::Show)
      if (auto* pButton = qobject_cast<QPushButton*>(pWatched)) ApplyButtonOptions(pButton);
    return false;
  }
};

const char kOwnIcon[] = "pinbro_button_icon";    // the icon was set here, not by the window
const char kOwnSheet[] = "pinbro_button_sheet";  // the same for the border's style sheet

}  // namespace

void InstallButtonOptions() {
  static bool bInstalled = false;
  if (bInstalled || !qApp) return;
  bInstalled = true;
  qApp->installEventFilter(new CButtonWatcher(qApp));
}

void ApplyButtonOptions(QPushButton* pButton) {
  const bool bFlat = settings.Btn_Is_Flat != 0;
  pButton->setFlat(bFlat);
  // The border sheet is the only one set here; a window's own sheet is left alone.
  if (bFlat && settings.Btn_Draw_Flat_Border != 0) {
    pButton->setStyleSheet(QStringLiteral("QPushButton { border: 1px solid palette(mid); "
                                          "border-radius: 2px; padding: 4px 14px; }"));
    pButton->setProperty(kOwnSheet, true);
  } else if (pButton->property(kOwnSheet).toBool()) {
    pButton->setStyleSheet(QString());
    pButton->setProperty(kOwnSheet, false);
  }
  if (bFlat && settings.Btn_Draw_Flat_Focus == 0)
    pButton->setStyle(NoFocusMarkStyle());
  else if (pButton->style() == NoFocusMarkStyle())
    pButton->setStyle(nullptr);
  // The pictures of the answers every box and dialog shows.
  static const struct {
    int nAnswer;
    QStyle::StandardPixmap icon;
  } kIcons[] = {{eMsgAnsOK, QStyle::SP_DialogOkButton},
                {eMsgAnsCancel, QStyle::SP_DialogCancelButton},
                {eMsgAnsYes, QStyle::SP_DialogYesButton},
                {eMsgAnsNo, QStyle::SP_DialogNoButton}};
  const QString strText = QString(pButton->text()).remove(QLatin1Char('&'));
  for (const auto& entry : kIcons) {
    if (strText != QString(MsgAnswerCaption(entry.nAnswer)).remove(QLatin1Char('&'))) continue;
    if (settings.Btn_Has_Icons != 0) {
      pButton->setIcon(pButton->style()->standardIcon(entry.icon, nullptr, pButton));
      pButton->setProperty(kOwnIcon, true);
    } else if (pButton->property(kOwnIcon).toBool() || !pButton->icon().isNull()) {
      pButton->setIcon(QIcon());  // the style's own pictures of the answers go too
      pButton->setProperty(kOwnIcon, false);
    }
    return;
  }
}

void PlayBoxSound(int nKind) {
  if (settings.Enable_Sounds != 0 && (nKind == eMsgKindWarning || nKind == eMsgKindError))
    QApplication::beep();
}
