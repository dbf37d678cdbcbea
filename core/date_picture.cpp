#include "core/date_picture.h"

#include <QDate>
#include <QList>

#include <algorithm>

namespace core {

namespace {

const QString kUnsupported = QStringLiteral("???");

bool IsPictureLetter(QChar ch) {
  switch (ch.unicode()) {
    case u'd': case u'M': case u'y': case u'w': case u'q': case u'g':
    case u'h': case u'H': case u'm': case u's': case u't':
      return true;
    default:
      return false;
  }
}

// "%d" for run 1, "%02d" for run 2, "???" for longer runs.
QString NumberForRun(int iValue, qsizetype nRun) {
  if (nRun == 1) return QString::number(iValue);
  if (nRun == 2) return QString::number(iValue).rightJustified(2, u'0');
  return kUnsupported;
}

// The date of the time, or an invalid QDate when its fields name no day.
QDate DateOf(const SYSTEMTIME& st) { return QDate(st.wYear, st.wMonth, st.wDay); }

// Sunday = 0. Worked out from the date so that a hand-filled wDayOfWeek cannot pick a wrong
// name; a time without a valid date falls back on wDayOfWeek, and -1 when that is out of range.
int DayOfWeek(const SYSTEMTIME& st) {
  const QDate date = DateOf(st);
  if (date.isValid()) return date.dayOfWeek() % 7;
  return st.wDayOfWeek < 7 ? st.wDayOfWeek : -1;
}

// Week 1 holds 1 January and every week starts on a Sunday; 0 when the date is not valid.
int WeekOfYear(const SYSTEMTIME& st) {
  const QDate date = DateOf(st);
  if (!date.isValid()) return 0;
  const int iFirstWeekday = QDate(date.year(), 1, 1).dayOfWeek() % 7;
  return (date.dayOfYear() - 1 + iFirstWeekday) / 7 + 1;
}

QString DayElement(const SYSTEMTIME& st, qsizetype nRun, const CLocaleTexts& locale) {
  if (nRun <= 2) return NumberForRun(st.wDay, nRun);
  if (nRun > 4) return kUnsupported;
  const int iDay = DayOfWeek(st);
  if (iDay < 0) return kUnsupported;
  return nRun == 3 ? locale.astrDayAbbrev[iDay] : locale.astrDayName[iDay];
}

QString MonthElement(const SYSTEMTIME& st, qsizetype nRun, const CLocaleTexts& locale) {
  if (nRun <= 2) return NumberForRun(st.wMonth, nRun);
  if (nRun > 4 || st.wMonth < 1 || st.wMonth > 12) return kUnsupported;
  return nRun == 3 ? locale.astrMonthAbbrev[st.wMonth - 1] : locale.astrMonthName[st.wMonth - 1];
}

QString YearElement(const SYSTEMTIME& st, qsizetype nRun) {
  if (nRun == 1) return QString::number(st.wYear);
  if (nRun == 2) return QString::number(st.wYear % 100).rightJustified(2, u'0');
  if (nRun == 4) return QString::number(st.wYear).rightJustified(4, u'0');
  return kUnsupported;
}

QString AmPmElement(const SYSTEMTIME& st, qsizetype nRun, const CLocaleTexts& locale) {
  const QString& strText = st.wHour < 12 ? locale.strAM : locale.strPM;
  if (nRun == 1) return strText.left(1);
  if (nRun == 2) return strText;
  return kUnsupported;
}

QString FormatElement(const SYSTEMTIME& st, char16_t chLetter, qsizetype nRun,
                      const CLocaleTexts& locale) {
  switch (chLetter) {
    case u'd': return DayElement(st, nRun, locale);
    case u'M': return MonthElement(st, nRun, locale);
    case u'y': return YearElement(st, nRun);
    case u'w': {
      const int iWeek = WeekOfYear(st);
      return iWeek > 0 ? NumberForRun(iWeek, nRun) : kUnsupported;
    }
    case u'q': return nRun == 1 ? QString::number((st.wMonth - 1) / 3 + 1) : kUnsupported;
    case u'g': return QString();
    case u'h': return NumberForRun(st.wHour > 12 ? st.wHour - 12 : st.wHour, nRun);
    case u'H': return NumberForRun(st.wHour, nRun);
    case u'm': return NumberForRun(st.wMinute, nRun);
    case u's': return NumberForRun(st.wSecond, nRun);
    case u't': return AmPmElement(st, nRun, locale);
    default: return kUnsupported;
  }
}

// One piece of a Qt format: an element in picture letters, literal text, or an element that
// pictures cannot express and that is left out.
struct CQtToken {
  enum EKind { eQtTok_Element, eQtTok_Literal, eQtTok_Dropped };
  EKind eKind;
  QString strText;
};

qsizetype RunLength(const QString& str, qsizetype i) {
  qsizetype n = 1;
  while (i + n < str.size() && str.at(i + n) == str.at(i)) ++n;
  return n;
}

// Reads quoted text starting at the apostrophe at i; "''" stands for one apostrophe, both inside
// and outside quotes. Returns the index after the text.
qsizetype ReadQtQuoted(const QString& strFormat, qsizetype i, QString* pstrText) {
  if (i + 1 < strFormat.size() && strFormat.at(i + 1) == u'\'') {
    *pstrText += u'\'';
    return i + 2;
  }
  ++i;
  while (i < strFormat.size()) {
    if (strFormat.at(i) == u'\'') {
      if (i + 1 < strFormat.size() && strFormat.at(i + 1) == u'\'') {
        *pstrText += u'\'';
        i += 2;
        continue;
      }
      return i + 1;
    }
    *pstrText += strFormat.at(i++);
  }
  return i;
}

// Splits a Qt format into tokens, the way QLocale::toString reads it.
QList<CQtToken> TokenizeQtFormat(const QString& strFormat) {
  QList<CQtToken> tokens;
  auto addLiteral = [&tokens](const QString& strText) {
    if (!tokens.isEmpty() && tokens.last().eKind == CQtToken::eQtTok_Literal)
      tokens.last().strText += strText;
    else
      tokens.append({CQtToken::eQtTok_Literal, strText});
  };
  qsizetype i = 0;
  while (i < strFormat.size()) {
    const QChar ch = strFormat.at(i);
    const qsizetype nRun = RunLength(strFormat, i);
    qsizetype nUsed = 1;
    switch (ch.unicode()) {
      case u'\'': {
        QString strText;
        i = ReadQtQuoted(strFormat, i, &strText);
        addLiteral(strText);
        continue;
      }
      case u'd': case u'M':
        nUsed = qMin<qsizetype>(nRun, 4);
        tokens.append({CQtToken::eQtTok_Element, QString(nUsed, ch)});
        break;
      case u'y':
        nUsed = nRun >= 4 ? 4 : (nRun >= 2 ? 2 : 1);
        if (nUsed == 1)
          addLiteral(QStringLiteral("y"));
        else
          tokens.append({CQtToken::eQtTok_Element, QString(nUsed, ch)});
        break;
      case u'h': case u'H': case u'm': case u's':
        nUsed = qMin<qsizetype>(nRun, 2);
        tokens.append({CQtToken::eQtTok_Element, QString(nUsed, ch)});
        break;
      case u'a': case u'A':
        nUsed = (i + 1 < strFormat.size() && strFormat.at(i + 1).toLower() == u'p') ? 2 : 1;
        tokens.append({CQtToken::eQtTok_Element, QStringLiteral("tt")});
        break;
      case u't':
        tokens.append({CQtToken::eQtTok_Dropped, QString()});
        break;
      case u'z':
        nUsed = nRun >= 3 ? 3 : 1;
        tokens.append({CQtToken::eQtTok_Dropped, QString()});
        break;
      default:
        addLiteral(QString(ch));
        break;
    }
    i += nUsed;
  }
  return tokens;
}

// Removes the dropped elements with the blank before them, or the parentheses around them.
void RemoveDroppedTokens(QList<CQtToken>* pTokens) {
  for (qsizetype i = 0; i < pTokens->size(); ++i) {
    if (pTokens->at(i).eKind != CQtToken::eQtTok_Dropped) continue;
    const bool bPrevLiteral = i > 0 && pTokens->at(i - 1).eKind == CQtToken::eQtTok_Literal;
    const bool bNextLiteral =
        i + 1 < pTokens->size() && pTokens->at(i + 1).eKind == CQtToken::eQtTok_Literal;
    if (bPrevLiteral) {
      QString& strPrev = (*pTokens)[i - 1].strText;
      if (bNextLiteral && strPrev.endsWith(u'(') && pTokens->at(i + 1).strText.startsWith(u')')) {
        strPrev.chop(1);
        (*pTokens)[i + 1].strText.remove(0, 1);
      }
      while (!strPrev.isEmpty() && strPrev.back().isSpace()) strPrev.chop(1);
    }
    pTokens->removeAt(i--);
  }
}

constexpr char16_t kTypographicApostrophe = 0x2019;

bool IsWordChar(QChar ch) { return ch.isLetter() || ch == kTypographicApostrophe; }

// Literal text in picture form: each word that holds a picture letter is quoted.
QString PictureLiteral(QString strText) {
  strText.replace(u'\'', kTypographicApostrophe);
  QString strPicture;
  qsizetype i = 0;
  while (i < strText.size()) {
    qsizetype iEnd = i + 1;
    const bool bWord = IsWordChar(strText.at(i));
    while (iEnd < strText.size() && IsWordChar(strText.at(iEnd)) == bWord) ++iEnd;
    const QStringView piece = QStringView(strText).mid(i, iEnd - i);
    if (bWord && std::any_of(piece.begin(), piece.end(), IsPictureLetter))
      strPicture += u'\'' + piece.toString() + u'\'';
    else
      strPicture += piece;
    i = iEnd;
  }
  return strPicture;
}

}  // namespace

QString PictureFromQtFormat(const QString& strQtFormat) {
  QList<CQtToken> tokens = TokenizeQtFormat(strQtFormat);
  RemoveDroppedTokens(&tokens);
  bool bAmPm = false;
  for (const CQtToken& token : tokens)
    if (token.eKind == CQtToken::eQtTok_Element && token.strText.startsWith(u't')) bAmPm = true;

  QString strPicture;
  for (const CQtToken& token : tokens) {
    if (token.eKind == CQtToken::eQtTok_Literal) {
      strPicture += PictureLiteral(token.strText);
      continue;
    }
    QString strElement = token.strText;
    if (!bAmPm && strElement.startsWith(u'h')) strElement.fill(u'H');
    // Two elements of one letter side by side would read as one longer run; an empty quote
    // keeps them apart.
    if (!strPicture.isEmpty() && strPicture.back() == strElement.front()) strPicture += u"''";
    strPicture += strElement;
  }
  return strPicture.trimmed();
}

CLocaleTexts LocaleTextsFrom(const QLocale& locale) {
  CLocaleTexts texts;
  texts.strShortDate = PictureFromQtFormat(locale.dateFormat(QLocale::ShortFormat));
  texts.strLongDate = PictureFromQtFormat(locale.dateFormat(QLocale::LongFormat));
  texts.strTime = PictureFromQtFormat(locale.timeFormat(QLocale::LongFormat));
  for (int i = 0; i < 7; ++i) {
    const int iQtDay = i == 0 ? 7 : i;  // Qt counts Monday = 1 .. Sunday = 7
    texts.astrDayAbbrev[i] = locale.dayName(iQtDay, QLocale::ShortFormat);
    texts.astrDayName[i] = locale.dayName(iQtDay, QLocale::LongFormat);
  }
  for (int i = 0; i < 12; ++i) {
    texts.astrMonthAbbrev[i] = locale.monthName(i + 1, QLocale::ShortFormat);
    texts.astrMonthName[i] = locale.monthName(i + 1, QLocale::LongFormat);
  }
  texts.strAM = locale.amText();
  texts.strPM = locale.pmText();
  return texts;
}

const CLocaleTexts& SystemLocaleTexts() {
  static const CLocaleTexts texts = LocaleTextsFrom(QLocale::system());
  return texts;
}

QString FormatPicture(const SYSTEMTIME& st, const QString& strPicture,
                      const CLocaleTexts& locale) {
  QString strOut;
  strOut.reserve(strPicture.size() + 16);
  const qsizetype nSize = strPicture.size();
  qsizetype i = 0;
  while (i < nSize) {
    const QChar ch = strPicture.at(i);
    if (ch == u'\'') {
      // Copied text runs to the next apostrophe, or to the end when none follows.
      qsizetype iClose = strPicture.indexOf(u'\'', i + 1);
      if (iClose < 0) iClose = nSize;
      strOut += QStringView(strPicture).mid(i + 1, iClose - i - 1);
      i = iClose + 1;
      continue;
    }
    if (!IsPictureLetter(ch)) {
      strOut += ch;
      ++i;
      continue;
    }
    const qsizetype nRun = RunLength(strPicture, i);
    strOut += FormatElement(st, ch.unicode(), nRun, locale);
    i += nRun;
  }
  return strOut;
}

}  // namespace core
