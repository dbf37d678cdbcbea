#pragma once
// The option table: every per-profile option with its registry name, type, default and
// validity rule, and the field of the option set that holds it. Loading, saving, the defaults
// and the command line's "settings get/set" are all driven by this one table.

#include <QString>
#include <array>
#include <vector>

#include "core/settings.h"

// Which stored numbers an option accepts. A number outside the rule leaves the field as it
// was (its default on the first load).
struct CDwordRule {
  DWORD dwLow = 0;
  DWORD dwHigh = 0xFFFFFFFF;
  std::array<DWORD, 4> adwOneOf{};  // when nOneOf > 0, only these numbers
  int nOneOf = 0;

  static constexpr CDwordRule Any() { return {}; }
  static constexpr CDwordRule Range(DWORD dwLow, DWORD dwHigh) { return {dwLow, dwHigh, {}, 0}; }
  static constexpr CDwordRule OneOf(DWORD a, DWORD b, DWORD c, DWORD d) {
    return {0, 0xFFFFFFFF, {a, b, c, d}, 4};
  }

  bool Accepts(DWORD dwValue) const;
  bool IsAny() const { return nOneOf == 0 && dwLow == 0 && dwHigh == 0xFFFFFFFF; }
  // "0 to 9", "2, 9, 10 or 11"; empty for Any.
  QString Describe() const;
};

enum class EOptType { eDword, eString };

// When an option is read. Appearance options are read first at start and again first by
// every load; log options only at start and when a cancelled settings change is undone.
enum class EOptGroup { eAppearance, eLog, eProfile };

enum EOptFlags : unsigned {
  eOptNone = 0,
  // A missing value resets the field to the table's default instead of keeping the value of
  // the previous load (the ClearType value's second name: absent means off).
  eOptResetWhenMissing = 1,
  // Written by SaveSplitter only, never by SaveSettings.
  eOptSplitter = 2,
  // The default is the executable's folder (the log folder).
  eOptDefaultExeFolder = 4,
  // The default is the given path below the program's own folder (plat::ProgramFolder), so
  // that the program's folders do not appear in the user's home folder.
  eOptDefaultInProgramFolder = 8,
};

struct COption {
  const char16_t* name;  // the registry value name
  EOptType type;
  EOptGroup group;
  DWORD CSettings::*dwField;     // eDword
  QString CSettings::*strField;  // eString
  DWORD dwDefault;               // eDword, screen not high resolution
  DWORD dwDefaultHiRes;          // eDword, high-resolution screen
  const char16_t* strDefault;    // eString (unless eOptDefaultExeFolder)
  CDwordRule rule;               // eDword
  unsigned flags;

  // The host's default where it sets one (SetHostOptionDefaults), else the table's.
  DWORD DwordDefault(bool bHiRes) const;
  QString StringDefault() const;  // the executable's folder for the log folder
};

// A default a host puts in place of the table's, for both screen kinds.
struct CHostDefault {
  const char16_t* name;  // the option's registry value name
  DWORD dwValue;
};
// Installs the host's defaults (replacing any installed before); called before the options
// are first read. No host defaults are installed unless a program installs them.
void SetHostOptionDefaults(std::vector<CHostDefault> defaults);
// The desktop programs' defaults: a double click opens, both lists are shown side by side
// with the left one active, and the status bar is on (docs/host.md says why).
std::vector<CHostDefault> DesktopOptionDefaults();

// Puts every field of *pSettings to its table default. A field with two names (ClearType) takes
// the default of the name read first. The log folder's default (the executable's folder) is
// asked for only with bExeFolder, once the host is up.
void ApplyOptionDefaults(CSettings* pSettings, bool bHiRes, bool bExeFolder);

// Every option that has a field, in the order of loading. Both names of the ClearType switch
// appear, bound to the same field.
const std::vector<COption>& OptionTable();
const COption* FindOption(QStringView strName);  // exact name, or null

// A per-profile value that the command line may read and write, including the numbered ones
// that have no field of their own ("SimpleSearchString 3", "DS3") and the favorites
// ("FavFS", "NumFavorites", "FavN0", ...), which the program only reads.
struct COptionSpec {
  QString strName;
  EOptType type = EOptType::eDword;
  DWORD dwDefault = 0;  // for the current screen
  QString strDefault;
  CDwordRule rule;
};
bool FindOptionSpec(const QString& strName, COptionSpec* pSpec);

// Longest text a string option can hold: 2048 bytes with the terminator.
constexpr int kMaxOptionStringChars = 1023;

// The executable's folder: its device path up to the last backslash, "\" when there is none.
QString ExecutableFolder();
