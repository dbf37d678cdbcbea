#pragma once
// What the fuzz targets share: one temporary device root for the whole run, files written into
// it from the input, and a check that ends the run (a finding) when an expectation breaks.

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fuzz {

// Opens the run's device root once (below /dev/shm when it can: no disk writes per input).
void StartRoot();
QString HostPath(const QString& devicePath);

// Writes bytes to a device path (its folders are made); aborts when it cannot.
void WriteFile(const QString& devicePath, const QByteArray& bytes);
// The names in a device folder, "." and ".." left out, sorted.
QStringList Names(const QString& deviceFolder);
// Removes everything inside a device folder (or the root), keeping the folder.
void EmptyFolder(const QString& deviceFolder);

inline QByteArray Bytes(const uint8_t* data, size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

[[noreturn]] void Fail(const char* condition, const char* file, int line);

}  // namespace fuzz

// An expectation of the target: when it breaks, the input is a finding.
#define FUZZ_CHECK(condition) \
  ((condition) ? void() : ::fuzz::Fail(#condition, __FILE__, __LINE__))
