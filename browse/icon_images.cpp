#include "browse/icon_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include "browse/icon_indices.h"

namespace {

// Every picture is drawn on a 32 x 32 grid and scaled to the requested size.
constexpr qreal kGrid = 32.0;

const QColor kOutline(70, 70, 70);
const QColor kFolderBack(222, 170, 60);
const QColor kFolderFront(247, 205, 95);
const QColor kPaper(252, 252, 252);
const QColor kBlue(52, 101, 164);
const QColor kRed(204, 0, 0);
const QColor kGreen(78, 154, 6);
const QColor kGrey(136, 138, 133);
const QColor kTeal(40, 150, 150);

void SetPen(QPainter& p, const QColor& color, qreal width = 1.2) {
  p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void DrawFolder(QPainter& p, bool bOpen, const QColor& back = kFolderBack,
                const QColor& front = kFolderFront) {
  SetPen(p, back.darker(150));
  p.setBrush(back);
  QPainterPath tab;
  tab.moveTo(2, 27);
  tab.lineTo(2, 7);
  tab.lineTo(11, 7);
  tab.lineTo(14, 10);
  tab.lineTo(29, 10);
  tab.lineTo(29, 27);
  tab.closeSubpath();
  p.drawPath(tab);
  p.setBrush(front);
  if (bOpen) {
    p.drawPolygon(QPolygonF({{2, 27}, {7, 15}, {31, 15}, {27, 27}}));
  } else {
    p.drawRoundedRect(QRectF(2, 13, 27, 14), 1.5, 1.5);
  }
}

void DrawPage(QPainter& p, const QColor& paper = kPaper) {
  SetPen(p, kOutline);
  p.setBrush(paper);
  p.drawPolygon(QPolygonF({{6, 2}, {20, 2}, {27, 9}, {27, 30}, {6, 30}}));
  p.setBrush(paper.darker(115));
  p.drawPolygon(QPolygonF({{20, 2}, {20, 9}, {27, 9}}));
}

void DrawLines(QPainter& p, const QColor& color, qreal top, int nLines) {
  SetPen(p, color, 1.5);
  for (int i = 0; i < nLines; ++i) p.drawLine(QPointF(10, top + i * 4), QPointF(23, top + i * 4));
}

void DrawNote(QPainter& p, QPointF at, const QColor& color) {
  SetPen(p, color, 1.6);
  p.setBrush(color);
  p.drawEllipse(at, 2.5, 2);
  p.drawLine(at + QPointF(2.3, 0), at + QPointF(2.3, -9));
  p.drawLine(at + QPointF(2.3, -9), at + QPointF(6, -7));
}

void DrawUpArrow(QPainter& p, QPointF tip, const QColor& color) {
  SetPen(p, color, 2.2);
  p.setBrush(Qt::NoBrush);
  p.drawLine(tip, tip + QPointF(0, 11));
  p.drawLine(tip, tip + QPointF(-4.5, 4.5));
  p.drawLine(tip, tip + QPointF(4.5, 4.5));
}

void DrawCog(QPainter& p, QPointF c, const QColor& color) {
  SetPen(p, color, 2.5);
  for (int i = 0; i < 8; ++i) {
    const qreal a = i * M_PI / 4;
    p.drawLine(c + QPointF(3.5 * qCos(a), 3.5 * qSin(a)), c + QPointF(6 * qCos(a), 6 * qSin(a)));
  }
  SetPen(p, color, 1.2);
  p.setBrush(Qt::white);
  p.drawEllipse(c, 4, 4);
}

void DrawZipper(QPainter& p, qreal x, qreal top, qreal bottom) {
  SetPen(p, kOutline, 1.0);
  p.setBrush(kGrey);
  for (qreal y = top; y + 2 <= bottom; y += 3) p.drawRect(QRectF(x - 1.5, y, 3, 1.6));
  p.setBrush(kBlue);
  p.drawRoundedRect(QRectF(x - 2.5, bottom - 4, 5, 5), 1, 1);
}

void DrawPadlock(QPainter& p, QPointF at) {
  SetPen(p, kOutline, 2);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(at.x() - 4, at.y() - 6, 8, 10), 0, 180 * 16);
  SetPen(p, kOutline, 1);
  p.setBrush(QColor(237, 212, 0));
  p.drawRoundedRect(QRectF(at.x() - 6, at.y() - 1, 12, 9), 1.5, 1.5);
}

void DrawQuestionMark(QPainter& p, QPointF at, const QColor& color) {
  SetPen(p, color, 2.4);
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  path.moveTo(at + QPointF(-3.5, -4));
  path.cubicTo(at + QPointF(-3.5, -9), at + QPointF(4, -9), at + QPointF(4, -4.5));
  path.cubicTo(at + QPointF(4, -1.5), at + QPointF(0, -1.5), at + QPointF(0, 2));
  p.drawPath(path);
  p.setBrush(color);
  p.drawEllipse(at + QPointF(0, 6), 1, 1);
}

void DrawCube(QPainter& p, QPointF c, qreal s, const QColor& color) {
  SetPen(p, color.darker(160), 1);
  p.setBrush(color.lighter(140));
  p.drawPolygon(QPolygonF({c + QPointF(0, -s), c + QPointF(s, -s / 2), c, c + QPointF(-s, -s / 2)}));
  p.setBrush(color);
  p.drawPolygon(QPolygonF({c + QPointF(-s, -s / 2), c, c + QPointF(0, s), c + QPointF(-s, s / 2)}));
  p.setBrush(color.darker(130));
  p.drawPolygon(QPolygonF({c, c + QPointF(s, -s / 2), c + QPointF(s, s / 2), c + QPointF(0, s)}));
}

// A value tag of the registry view: a coloured label with two marks (letters or digits).
void DrawValueTag(QPainter& p, const QColor& color, int nKind) {
  SetPen(p, color.darker(150), 1);
  p.setBrush(color);
  p.drawRoundedRect(QRectF(3, 8, 26, 16), 3, 3);
  SetPen(p, Qt::white, 2);
  p.setBrush(Qt::NoBrush);
  if (nKind == 0) {  // "ab"
    p.drawEllipse(QPointF(10, 18), 3, 3);
    p.drawLine(QPointF(13, 14.5), QPointF(13, 21));
    p.drawLine(QPointF(18, 11), QPointF(18, 21));
    p.drawEllipse(QPointF(21, 18), 3, 3);
  } else if (nKind == 3) {  // "?"
    DrawQuestionMark(p, {16, 16}, Qt::white);
  } else {  // "01" or "10"
    const qreal zeroX = nKind == 1 ? 11 : 21;
    const qreal oneX = nKind == 1 ? 21 : 11;
    p.drawEllipse(QPointF(zeroX, 16), 3, 5);
    p.drawLine(QPointF(oneX, 11), QPointF(oneX, 21));
  }
}

void DrawDevice(QPainter& p, bool bSelected) {
  SetPen(p, kOutline);
  p.setBrush(QColor(85, 87, 83));
  p.drawRoundedRect(QRectF(7, 1, 18, 30), 3, 3);
  p.setBrush(bSelected ? QColor(114, 159, 207) : QColor(186, 189, 182));
  p.drawRect(QRectF(9.5, 4, 13, 17));
  p.setBrush(kGrey);
  p.drawEllipse(QPointF(16, 26), 2.5, 2.5);
}

void DrawCard(QPainter& p, bool bSelected) {
  SetPen(p, kOutline);
  p.setBrush(bSelected ? QColor(114, 159, 207) : kBlue);
  p.drawPolygon(QPolygonF({{7, 3}, {21, 3}, {26, 8}, {26, 29}, {7, 29}}));
  p.setBrush(QColor(237, 212, 0));
  SetPen(p, QColor(196, 160, 0), 0.8);
  for (int i = 0; i < 4; ++i) p.drawRect(QRectF(9.5 + i * 3.5, 5, 2.2, 5));
}

void DrawZipBox(QPainter& p) {
  SetPen(p, kOutline);
  p.setBrush(QColor(233, 185, 110));
  p.drawRect(QRectF(4, 6, 24, 23));
  p.setBrush(QColor(193, 125, 17));
  p.drawRect(QRectF(4, 3, 24, 5));
  DrawZipper(p, 16, 3, 27);
}

void DrawWindowFrame(QPainter& p) {
  SetPen(p, kOutline);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3, 5, 26, 22));
  p.setBrush(kBlue);
  p.drawRect(QRectF(3, 5, 26, 5));
}

void DrawRecycleBin(QPainter& p) {
  SetPen(p, kOutline);
  p.setBrush(QColor(211, 215, 207));
  p.drawPolygon(QPolygonF({{7, 9}, {25, 9}, {23, 30}, {9, 30}}));
  p.drawRoundedRect(QRectF(5, 5, 22, 4), 1, 1);
  p.drawRect(QRectF(13, 2, 6, 3));
  SetPen(p, kGrey, 1.4);
  for (qreal x : {12.5, 16.0, 19.5}) p.drawLine(QPointF(x, 12), QPointF(x, 27));
  SetPen(p, kGreen, 2);
  p.drawArc(QRectF(11, 14, 10, 10), 30 * 16, 300 * 16);
}

void DrawShortcutArrow(QPainter& p) {
  SetPen(p, kOutline, 1);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(2, 18, 12, 12));
  SetPen(p, kBlue, 2);
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(5, 27), QPointF(11, 21));
  p.drawLine(QPointF(11, 21), QPointF(7, 21));
  p.drawLine(QPointF(11, 21), QPointF(11, 25));
}

void DrawFolderPicture(QPainter& p, int nIndex) {
  const bool bOpen = nIndex % 2 == 1 && nIndex <= eIcon_WindowsFolderOpen;
  DrawFolder(p, bOpen);
  switch (nIndex) {
    case eIcon_MusicFolder:
    case eIcon_MusicFolderOpen:
      DrawNote(p, {15, 23}, kBlue);
      break;
    case eIcon_WindowsFolder:
    case eIcon_WindowsFolderOpen:
      SetPen(p, Qt::white, 0.5);
      for (int i = 0; i < 4; ++i) {
        const QColor colors[] = {kRed, kGreen, kBlue, QColor(237, 212, 0)};
        p.setBrush(colors[i]);
        p.drawRect(QRectF(12 + (i % 2) * 4.5, 15 + (i / 2) * 4.5, 4, 4));
      }
      break;
    case eIcon_ProgramFilesFolder:
      SetPen(p, kOutline, 0.8);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(10, 15, 12, 10));
      p.setBrush(kBlue);
      p.drawRect(QRectF(10, 15, 12, 3));
      break;
    case eIcon_AppDataFolder:
      DrawCog(p, {16, 20}, kGrey.darker(130));
      break;
    case eIcon_DocumentsFolder:
      SetPen(p, kOutline, 0.8);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(12, 14, 9, 11));
      break;
    case eIcon_ParentFolder:
      DrawUpArrow(p, {16, 14}, kGreen.darker(120));
      break;
    case eIcon_ZipFolder:
      DrawZipper(p, 16, 13, 26);
      break;
    default:
      break;
  }
}

void DrawPagePicture(QPainter& p, int nIndex) {
  DrawPage(p);
  switch (nIndex) {
    case eIcon_Unknown:
      DrawQuestionMark(p, {16, 19}, kBlue);
      break;
    case eIcon_TextFile:
      DrawLines(p, kGrey, 13, 4);
      break;
    case eIcon_ImageFile:
      SetPen(p, kGreen.darker(130), 1);
      p.setBrush(kGreen);
      p.drawPolygon(QPolygonF({{8, 27}, {14, 17}, {18, 23}, {21, 20}, {25, 27}}));
      p.setBrush(QColor(237, 212, 0));
      p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
      break;
    case eIcon_EncryptedFile:
      DrawLines(p, kGrey, 8, 2);
      DrawPadlock(p, {16, 21});
      break;
    case eIcon_Shortcut:
      DrawLines(p, kGrey, 8, 2);
      DrawShortcutArrow(p);
      break;
    case eIcon_AudioFile:
      DrawNote(p, {14, 25}, kBlue);
      break;
    case eIcon_VideoFile:
      SetPen(p, kOutline, 1);
      p.setBrush(QColor(46, 52, 54));
      p.drawRect(QRectF(9, 12, 15, 12));
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygonF({{14, 14.5}, {20, 18}, {14, 21.5}}));
      break;
    case eIcon_Document:
      SetPen(p, kBlue, 3);
      p.drawLine(QPointF(10, 9), QPointF(19, 9));
      DrawLines(p, kGrey, 15, 4);
      break;
    default:  // plain file
      break;
  }
}

void DrawRegistryPicture(QPainter& p, int nIndex) {
  switch (nIndex) {
    case eIcon_Registry:
      DrawCube(p, {10, 21}, 7, kBlue);
      DrawCube(p, {22, 21}, 7, kRed);
      DrawCube(p, {16, 11}, 7, kGreen);
      break;
    case eIcon_RegistryKey:
    case eIcon_RegistryKeyOpen:
      DrawFolder(p, nIndex == eIcon_RegistryKeyOpen, kTeal.darker(110), kTeal.lighter(130));
      break;
    case eIcon_RegistryUnknown:
      DrawValueTag(p, kGrey.darker(130), 3);
      break;
    case eIcon_RegistryDword:
      DrawValueTag(p, kBlue, 1);
      break;
    case eIcon_RegistryDwordBigEndian:
      DrawValueTag(p, kBlue.darker(130), 2);
      break;
    case eIcon_RegistryBinary:
      DrawValueTag(p, kGreen, 1);
      break;
    case eIcon_RegistryResourceList:
      DrawValueTag(p, kGreen.darker(130), 2);
      break;
    case eIcon_RegistryString:
      DrawValueTag(p, kRed, 0);
      break;
    case eIcon_RegistryExpandString:
      DrawValueTag(p, kRed.darker(130), 0);
      break;
    case eIcon_RegistryMultiString:
      DrawValueTag(p, kRed, 0);
      SetPen(p, kRed.darker(150), 1);
      p.drawLine(QPointF(5, 27), QPointF(27, 27));
      break;
    default:
      break;
  }
}

void DrawPicture(QPainter& p, int nIndex) {
  switch (nIndex) {
    case eIcon_DeviceRoot:
    case eIcon_DeviceRootOpen:
      DrawDevice(p, nIndex == eIcon_DeviceRootOpen);
      return;
    case eIcon_StorageCard:
    case eIcon_StorageCardOpen:
      DrawCard(p, nIndex == eIcon_StorageCardOpen);
      return;
    case eIcon_ZipArchive:
      DrawZipBox(p);
      return;
    case eIcon_Program:
      DrawWindowFrame(p);
      return;
    case eIcon_RecycleBin:
      DrawRecycleBin(p);
      return;
    default:
      break;
  }
  if (nIndex >= eIcon_Registry && nIndex <= eIcon_RegistryMultiString) {
    DrawRegistryPicture(p, nIndex);
  } else if (nIndex <= eIcon_ParentFolder || nIndex == eIcon_ZipFolder) {
    DrawFolderPicture(p, nIndex);
  } else {
    DrawPagePicture(p, nIndex);
  }
}

}  // namespace

QPixmap DrawBuiltInIcon(int nIndex, int nSize) {
  if (nIndex < 0 || nIndex >= kBuiltInIconCount || nSize <= 0) return {};
  QPixmap pixmap(nSize, nSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(nSize / kGrid, nSize / kGrid);
  DrawPicture(painter, nIndex);
  return pixmap;
}
