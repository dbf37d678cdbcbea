#pragma once
// The system's texts: one table keyed by their numbers (core/texts_table.cpp), read through Qt's
// translation system, so that a translation file (.qm, made from translations/*.ts) replaces
// them without a change of code.
//
// Numbers below kOwnTextFirst are those of the handheld's string table. A text that has no
// number there takes one from kOwnTextFirst up. Placeholders are Qt's %1, %2, ... in the order
// the original %s / %d stood, so a text is filled with QString::arg in that order.
//
// Texts are translated in the context kTextContext with the number as the disambiguation, so
// that two numbers with the same English text are translated apart.

#include <QString>

#include <span>

namespace core {

inline constexpr char kTextContext[] = "pinbro";
inline constexpr int kOwnTextFirst = 900000;

// One row of the table: QT_TRANSLATE_NOOP3 gives the source text and the disambiguation,
// which is the number written as a decimal string.
struct CTextSource {
  const char* source;
  const char* comment;
};
struct CTextEntry {
  int nId;
  CTextSource text;
};

// The table, sorted by number.
std::span<const CTextEntry> TextTable();

// The text of nId in the installed translation, else its English source; empty for a number
// the table does not hold. Safe from any thread.
QString Text(int nId);

// Loads the translation file strQmPath and puts it in place of the one installed before;
// false (and nothing changed) when the file cannot be loaded.
bool InstallTranslation(const QString& strQmPath);
// Removes the installed translation: the texts are English again.
void RemoveTranslation();

// At start: the file named by PINBRO_TRANSLATION when it is set (empty: none), else
// strFolder/pinbro_<language>.qm for the system's locale when there is one. True when a
// translation was installed.
bool InstallStartTranslation(const QString& strFolder);

}  // namespace core
