#pragma once
// Registry files: a key tree written to and read from the common registry text format.
//
//   Windows Registry Editor Version 5.00     (UTF-16LE with a byte-order mark)
//   REGEDIT4                                 (8-bit text: UTF-8, the host's code page)
//
//   [HKEY_LOCAL_MACHINE\Software\Key]        a key (created when missing)
//   [-HKEY_LOCAL_MACHINE\Software\Old]       a key deleted with its whole tree
//   "Name"="text with \\ and \" escaped"     REG_SZ
//   @="..."                                  the key's unnamed (default) value
//   "N"=dword:0000002a                       REG_DWORD
//   "B"=hex:01,02,ff                         REG_BINARY
//   "E"=hex(2):...  "M"=hex(7):...  "Q"=hex(b):...   every other type by its number
//   "Gone"=-                                 a value deleted
//
// Long hexadecimal data is continued on the next line after a trailing backslash; lines
// that begin with ";" are comments. In REGEDIT4 files the data of hex(2) and hex(7) values
// is 8-bit text; in version 5 files it is the stored UTF-16 bytes. Export writes a value as
// a quoted text or dword only when that gives back exactly its bytes; every other value is
// written as hex(N), so that export then import gives byte-identical values and types.

#include <QByteArray>
#include <QString>

#include "registry/registry_access.h"

namespace regfile {

enum ERegFileFormat {
  eRegFile_Version5,  // "Windows Registry Editor Version 5.00", UTF-16LE
  eRegFile_Regedit4,  // "REGEDIT4", 8-bit
};

// The file's bytes for the key (with every subkey below it); an empty key path is the root.
// *pnKeys and *pnValues count what was written (either may be null).
QByteArray ExportText(HKEY root, const QString& strKeyPath, ERegFileFormat format,
                      int* pnKeys = nullptr, int* pnValues = nullptr);

// Where an import stopped: the line (from 1) and why; line 0 for a failure that is no
// line's (the file cannot be read).
struct CImportError {
  int nLine = 0;
  QString strWhy;
};
// Reads a whole file and carries it out as one transaction: on any error nothing is changed.
bool ImportText(const QByteArray& bytes, CImportError* pError);

// Writes the export to a device file (replacing an existing one only once the new one is
// complete); false with the reason in *pstrError.
bool ExportToFile(HKEY root, const QString& strKeyPath, const QString& strDevicePath,
                  ERegFileFormat format, QString* pstrError);
// Reads a device file and imports it; false with the message to show in *pstrMessage
// ("... line 3: the text is not closed by a quote. Nothing was changed.").
bool ImportFromFile(const QString& strDevicePath, QString* pstrMessage);

// The menu commands: ask for the file through the registry dialogs, then export or import,
// telling a failure through the message box. Import notifies every key it touched.
bool ExportCommand(HKEY root, const QString& strKeyPath);
bool ImportCommand();

}  // namespace regfile
