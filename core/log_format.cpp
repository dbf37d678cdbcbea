#include "core/log_format.h"

#include <cmath>

CPrintfArg::CPrintfArg(const char16_t* text) : kind_(eArgText) {
  if (text) {
    view_ = QStringView(text);
    isView_ = true;
  } else {
    text_ = QStringLiteral("(null)");
  }
}

CPrintfArg::CPrintfArg(const char* utf8)
    : kind_(eArgText), text_(utf8 ? QString::fromUtf8(utf8) : QStringLiteral("(null)")) {}

qint64 CPrintfArg::Signed() const {
  switch (kind_) {
    case eArgSigned: return signed_;
    case eArgDouble: return static_cast<qint64>(double_);
    default: return static_cast<qint64>(unsigned_);
  }
}

quint64 CPrintfArg::Unsigned() const {
  switch (kind_) {
    case eArgSigned: return static_cast<quint64>(signed_);
    case eArgDouble: return static_cast<quint64>(static_cast<qint64>(double_));
    default: return unsigned_;
  }
}

double CPrintfArg::Double() const {
  switch (kind_) {
    case eArgSigned: return static_cast<double>(signed_);
    case eArgDouble: return double_;
    default: return static_cast<double>(unsigned_);
  }
}

namespace {

enum ESizePrefix { eSizeDefault, eSizeShort, eSize64 };

struct CSpec {
  bool left = false;
  bool zero = false;
  bool plus = false;
  bool space = false;
  bool alternate = false;
  int width = -1;
  int precision = -1;
  ESizePrefix size = eSizeDefault;
  QChar conversion;
};

// Reads the next argument, or nothing when the caller passed too few.
class CArgCursor {
 public:
  CArgCursor(const CPrintfArg* args, std::size_t count) : args_(args), count_(count) {}
  const CPrintfArg* Next() { return next_ < count_ ? &args_[next_++] : nullptr; }

 private:
  const CPrintfArg* args_;
  std::size_t count_;
  std::size_t next_ = 0;
};

// One character; code points beyond 0xFFFF become their surrogate pair.
QString CharText(quint64 code) {
  const char32_t c = code > 0x10FFFF ? char32_t(0xFFFD) : char32_t(code);
  return QString::fromUcs4(&c, 1);
}

void Pad(QString* out, const QString& body, const CSpec& spec) {
  const int fill = spec.width - int(body.size());
  if (fill <= 0) {
    out->append(body);
  } else if (spec.left) {
    out->append(body);
    out->append(QString(fill, QLatin1Char(' ')));
  } else {
    out->append(QString(fill, QLatin1Char(' ')));
    out->append(body);
  }
}

// A number's sign/prefix and digits, padded with zeros or blanks as the flags say.
void PadNumber(QString* out, const QString& prefix, QString digits, const CSpec& spec) {
  if (spec.precision >= 0) {
    if (spec.precision == 0 && digits == QLatin1String("0")) digits.clear();
    if (digits.size() < spec.precision)
      digits.prepend(QString(spec.precision - int(digits.size()), QLatin1Char('0')));
  }
  const bool zeroFill = spec.zero && !spec.left && spec.precision < 0;
  const int fill = spec.width - int(prefix.size() + digits.size());
  if (zeroFill && fill > 0) {
    out->append(prefix);
    out->append(QString(fill, QLatin1Char('0')));
    out->append(digits);
    return;
  }
  Pad(out, prefix + digits, spec);
}

// The value as the conversion's size prefix reads it: 16 or 32 bits unless 64 was asked for.
qint64 SizedSigned(const CPrintfArg& arg, ESizePrefix size) {
  const qint64 v = arg.Signed();
  if (size == eSize64) return v;
  if (size == eSizeShort) return static_cast<qint16>(v);
  return static_cast<qint32>(v);
}

quint64 SizedUnsigned(const CPrintfArg& arg, ESizePrefix size) {
  const quint64 v = arg.Unsigned();
  if (size == eSize64) return v;
  if (size == eSizeShort) return static_cast<quint16>(v);
  return static_cast<quint32>(v);
}

void FormatText(QString* out, const CPrintfArg* arg, const CSpec& spec) {
  QString body;
  if (arg->Kind() == CPrintfArg::eArgText) {
    QStringView text = arg->Text();
    if (spec.precision >= 0 && text.size() > spec.precision) text = text.left(spec.precision);
    body = text.toString();
  } else if (arg->Kind() == CPrintfArg::eArgChar) {
    body = CharText(arg->Unsigned());
  } else if (arg->Kind() == CPrintfArg::eArgDouble) {
    body = QString::number(arg->Double());
  } else if (arg->Kind() == CPrintfArg::eArgSigned) {
    body = QString::number(arg->Signed());
  } else {
    body = QString::number(arg->Unsigned());
  }
  Pad(out, body, spec);
}

void FormatChar(QString* out, const CPrintfArg* arg, const CSpec& spec) {
  if (arg->Kind() == CPrintfArg::eArgText) {
    const QStringView text = arg->Text();
    Pad(out, text.isEmpty() ? QString() : QString(text.front()), spec);
    return;
  }
  Pad(out, CharText(arg->Unsigned()), spec);
}

void FormatSigned(QString* out, const CPrintfArg* arg, const CSpec& spec) {
  if (arg->Kind() == CPrintfArg::eArgText) return FormatText(out, arg, spec);
  const qint64 v = SizedSigned(*arg, spec.size);
  // The magnitude as unsigned, so that the most negative value has its digits too.
  const quint64 magnitude = v < 0 ? quint64(0) - quint64(v) : quint64(v);
  const QString prefix = v < 0        ? QStringLiteral("-")
                         : spec.plus  ? QStringLiteral("+")
                         : spec.space ? QStringLiteral(" ")
                                      : QString();
  PadNumber(out, prefix, QString::number(magnitude), spec);
}

void FormatUnsigned(QString* out, const CPrintfArg* arg, const CSpec& spec) {
  if (arg->Kind() == CPrintfArg::eArgText) return FormatText(out, arg, spec);
  const char16_t c = spec.conversion.unicode();
  const quint64 v = SizedUnsigned(*arg, spec.size);
  const int base = (c == u'x' || c == u'X') ? 16 : c == u'o' ? 8 : 10;
  QString digits = QString::number(v, base);
  QString prefix;
  if (c == u'X') digits = digits.toUpper();
  if (spec.alternate && v != 0 && base == 16) prefix = c == u'X' ? QStringLiteral("0X") : QStringLiteral("0x");
  if (spec.alternate && base == 8 && !digits.startsWith(QLatin1Char('0'))) prefix = QStringLiteral("0");
  PadNumber(out, prefix, digits, spec);
}

void FormatPointer(QString* out, const CPrintfArg* arg, const CSpec& spec) {
  // The handheld writes pointers as eight upper-case hexadecimal digits; the host's are wider.
  const QString digits =
      QStringLiteral("%1").arg(arg->Unsigned(), int(sizeof(void*) * 2), 16, QLatin1Char('0'));
  Pad(out, digits.toUpper(), spec);
}

void FormatDouble(QString* out, const CPrintfArg* arg, const CSpec& spec) {
  if (arg->Kind() == CPrintfArg::eArgText) return FormatText(out, arg, spec);
  const double v = arg->Double();
  const char16_t c = spec.conversion.unicode();
  const char format = c == u'e' ? 'e' : c == u'E' ? 'E' : c == u'g' ? 'g' : c == u'G' ? 'G' : 'f';
  const int precision = spec.precision >= 0 ? spec.precision : 6;
  QString digits = QString::number(std::fabs(v), format, precision);
  const QString prefix = std::signbit(v) && !std::isnan(v) ? QStringLiteral("-")
                         : spec.plus                       ? QStringLiteral("+")
                         : spec.space                      ? QStringLiteral(" ")
                                                           : QString();
  CSpec padding = spec;
  padding.precision = -1;
  PadNumber(out, prefix, digits, padding);
}

// Reads flags, width, precision and size prefix after a '%' at format[*pos]; leaves *pos on
// the conversion character. False when the format ends first.
bool ParseSpec(QStringView format, qsizetype* pos, CArgCursor* cursor, CSpec* spec) {
  qsizetype i = *pos;
  const qsizetype n = format.size();
  for (; i < n; ++i) {
    const char16_t c = format[i].unicode();
    if (c == u'-') spec->left = true;
    else if (c == u'0') spec->zero = true;
    else if (c == u'+') spec->plus = true;
    else if (c == u' ') spec->space = true;
    else if (c == u'#') spec->alternate = true;
    else break;
  }
  auto readNumber = [&](int* target) {
    if (i < n && format[i] == QLatin1Char('*')) {
      const CPrintfArg* arg = cursor->Next();
      *target = arg ? int(arg->Signed()) : 0;
      ++i;
      return;
    }
    int value = 0;
    bool any = false;
    while (i < n && format[i].isDigit() && format[i].unicode() < 128) {
      value = qMin(value * 10 + (format[i].unicode() - u'0'), 100000);
      any = true;
      ++i;
    }
    if (any) *target = value;
  };
  readNumber(&spec->width);
  if (spec->width < -1) {  // a negative "*" width means left-aligned
    spec->left = true;
    spec->width = -spec->width;
  }
  if (i < n && format[i] == QLatin1Char('.')) {
    ++i;
    spec->precision = 0;
    readNumber(&spec->precision);
    if (spec->precision < 0) spec->precision = -1;
  }
  const QStringView rest = format.mid(i);
  if (rest.startsWith(u"I64") || rest.startsWith(u"ll")) {
    spec->size = eSize64;
    i += rest.startsWith(u"I64") ? 3 : 2;
  } else if (rest.startsWith(u"I32")) {
    i += 3;
  } else if (rest.startsWith(u"h")) {
    spec->size = eSizeShort;
    ++i;
  } else if (rest.startsWith(u"l") || rest.startsWith(u"w")) {
    ++i;
  } else if (rest.startsWith(u"z") || rest.startsWith(u"I")) {
    spec->size = sizeof(void*) == 8 ? eSize64 : eSizeDefault;
    ++i;
  }
  if (i >= n) return false;
  spec->conversion = format[i];
  *pos = i;
  return true;
}

void FormatConversion(QString* out, const CSpec& spec, CArgCursor* cursor) {
  const char16_t c = spec.conversion.unicode();
  if (c == u'%') {
    out->append(QLatin1Char('%'));
    return;
  }
  const bool known = QStringView(u"sScCdiuxXopfFeEgG").contains(spec.conversion);
  if (!known) {  // an unknown conversion is written as it stands
    out->append(QLatin1Char('%'));
    out->append(spec.conversion);
    return;
  }
  const CPrintfArg* arg = cursor->Next();
  if (!arg) return;
  switch (c) {
    case u's': case u'S': FormatText(out, arg, spec); break;
    case u'c': case u'C': FormatChar(out, arg, spec); break;
    case u'd': case u'i': FormatSigned(out, arg, spec); break;
    case u'p': FormatPointer(out, arg, spec); break;
    case u'f': case u'F': case u'e': case u'E': case u'g': case u'G':
      FormatDouble(out, arg, spec);
      break;
    default: FormatUnsigned(out, arg, spec); break;
  }
}

}  // namespace

QString PrintfFormatArgs(QStringView format, const CPrintfArg* args, std::size_t count,
                         int maxChars) {
  QString out;
  out.reserve(format.size() + 16 * qsizetype(count));
  CArgCursor cursor(args, count);
  const qsizetype n = format.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = format[i];
    if (c != QLatin1Char('%')) {
      out.append(c);
      continue;
    }
    qsizetype pos = i + 1;
    CSpec spec;
    if (!ParseSpec(format, &pos, &cursor, &spec)) {
      out.append(format.mid(i));  // a lone '%' at the end is kept as text
      break;
    }
    FormatConversion(&out, spec, &cursor);
    i = pos;
    if (maxChars > 0 && out.size() >= maxChars) break;
  }
  if (maxChars > 0 && out.size() > maxChars - 1) {
    qsizetype keep = qMax(0, maxChars - 1);
    if (keep > 0 && out[keep - 1].isHighSurrogate()) --keep;
    out.truncate(keep);
  }
  return out;
}
