#pragma once
// Module, version and text services of the host.

#include <QByteArray>
#include <QString>

#include "platform/wintypes.h"

namespace plat {

// The device path of the running program: its own path when the binary lies inside the
// root; otherwise "<per-user data folder>\pinbro" (the data folder is
// $XDG_DATA_HOME/pinewood-browser as a device path, created when missing).
QString GetModuleFileName();

// The per-user data folder as a device path, or empty when it lies outside the root.
QString DataFolder();
// The folder the program keeps its own files in, as a device path: DataFolder(), or
// "\.pinewood-browser" when the data folder lies outside the root (created when missing).
QString ProgramFolder();

// The operating-system version reported to the program: 3.0 unless PINBRO_OS_VERSION
// ("4.20") says otherwise.
void GetVersion(DWORD* major, DWORD* minor, DWORD* build);

// Text in the host's ANSI code page (the locale's charset); characters it cannot hold become
// its replacement character.
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);

}  // namespace plat
