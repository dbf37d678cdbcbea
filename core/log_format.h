#pragma once
// printf-style formatting of UTF-16 texts, type-safe: the arguments are captured as
// CPrintfArg values and the format's conversions read them in order.
//
// Supported: %s %S %c %C %d %i %u %x %X %o %p %f %e %g %E %G %%, the flags "-", "0", "+",
// " " and "#", a width and a precision (digits or "*"), and the size prefixes h, l, ll, I32,
// I64, z. As in the handheld's C library, an integer conversion without a 64-bit prefix reads
// 32 bits ("%d" of 0xFFFFFFFF is -1) and "%I64d" / "%lld" read 64 bits. A conversion whose
// argument is missing writes nothing; a text for an integer conversion is written as text and
// a number for "%s" as its decimal digits, so a mismatch never crashes or reads garbage.

#include <QString>
#include <QStringView>

#include <concepts>
#include <cstddef>
#include <initializer_list>
#include <type_traits>

class CPrintfArg {
 public:
  enum EArgKind { eArgSigned, eArgUnsigned, eArgChar, eArgDouble, eArgText, eArgPointer };

  template <typename T>
    requires std::integral<T>
  CPrintfArg(T value) {  // NOLINT(google-explicit-constructor): implicit by design
    if constexpr (std::is_same_v<T, bool>) {
      kind_ = eArgUnsigned;
      unsigned_ = value ? 1 : 0;
    } else if constexpr (std::is_same_v<T, char> || std::is_same_v<T, char16_t> ||
                         std::is_same_v<T, wchar_t> || std::is_same_v<T, char32_t>) {
      kind_ = eArgChar;
      unsigned_ = static_cast<quint64>(static_cast<std::make_unsigned_t<T>>(value));
    } else if constexpr (std::is_signed_v<T>) {
      kind_ = eArgSigned;
      signed_ = static_cast<qint64>(value);
    } else {
      kind_ = eArgUnsigned;
      unsigned_ = static_cast<quint64>(value);
    }
  }
  template <typename T>
    requires std::is_enum_v<T>
  CPrintfArg(T value) : CPrintfArg(static_cast<std::underlying_type_t<T>>(value)) {}
  template <typename T>
    requires std::floating_point<T>
  CPrintfArg(T value) : kind_(eArgDouble), double_(static_cast<double>(value)) {}

  CPrintfArg(QChar value) : kind_(eArgChar), unsigned_(value.unicode()) {}
  CPrintfArg(const QString& text) : kind_(eArgText), text_(text) {}
  CPrintfArg(QStringView text) : kind_(eArgText), view_(text), isView_(true) {}
  CPrintfArg(const char16_t* text);
  CPrintfArg(const char* utf8);
  CPrintfArg(const void* pointer)
      : kind_(eArgPointer), unsigned_(reinterpret_cast<quintptr>(pointer)) {}

  EArgKind Kind() const { return kind_; }
  qint64 Signed() const;
  quint64 Unsigned() const;
  double Double() const;
  QStringView Text() const { return isView_ ? view_ : QStringView(text_); }

 private:
  EArgKind kind_;
  qint64 signed_ = 0;
  quint64 unsigned_ = 0;
  double double_ = 0;
  QString text_;
  QStringView view_;
  bool isView_ = false;
};

// Formats `format` with `args`. The result holds at most maxChars - 1 characters (the
// handheld's buffers count the terminator); longer text is cut, never rejected, and a cut
// never leaves half of a surrogate pair. maxChars <= 0 means no limit.
QString PrintfFormatArgs(QStringView format, const CPrintfArg* args, std::size_t count,
                         int maxChars);

template <typename... Args>
QString PrintfFormat(int maxChars, QStringView format, const Args&... args) {
  if constexpr (sizeof...(Args) == 0) {
    return PrintfFormatArgs(format, nullptr, 0, maxChars);
  } else {
    const CPrintfArg packed[] = {CPrintfArg(args)...};
    return PrintfFormatArgs(format, packed, sizeof...(Args), maxChars);
  }
}
