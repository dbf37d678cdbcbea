#pragma once
// The one way an operation creates a file (a copy, a restored file, a recycle container, an
// encrypted or decrypted file): the file appears under its final name only when it is
// complete, so that a failed, cancelled or killed run never leaves a partial file there.
//
// A new file is written as an unnamed file of its folder and linked under its final name when
// complete; the link never replaces an item that took the name meanwhile. Where the file
// system has no unnamed files, and where the user agreed to replace an existing file, the data
// goes to a temporary "<folder>\~pb<hex>.tmp" instead (kTempPrefix: the one prefix of the
// program's temporaries), renamed into place when complete: a new file by a rename that never
// replaces, a replaced file through plat::ReplaceFile, the one call that may replace.
// A failure or Discard removes what was written; an existing file stays exactly as it was.
// A new file's final name is claimed from its Create to its end: a second output of the
// process asking for the same name meanwhile is refused as if the name existed, so outputs
// that wait to be put in place together never meet at their names.
//
// A killed process leaves at most a temporary. While an output is open its temporary is
// locked, so RemoveLeftovers (run by each operation in each folder it writes into) takes only
// the temporaries of runs that ended before it began.
//
// The fault seam sees the create (eFaultCreate), writes, the flush, the close, putting in
// place (eFaultRename) and the folder flush (eFaultFlushFolder); an unnamed file's calls carry
// its final path, the only name it will ever have.

#include <QString>

#include <set>

#include "platform/file.h"

namespace plat {

inline constexpr char16_t kTempPrefix[] = u"~pb";

class COutputFile {
 public:
  COutputFile() = default;
  // Discards an output that was not committed.
  ~COutputFile();
  COutputFile(COutputFile&& other) noexcept;
  COutputFile& operator=(COutputFile&& other) noexcept;
  COutputFile(const COutputFile&) = delete;
  COutputFile& operator=(const COutputFile&) = delete;

  // Opens the output that is to become strFinalPath. bReplace: an existing file of that name
  // is to be replaced (the user agreed). False with the last error set.
  bool Create(const QString& strFinalPath, bool bReplace);
  bool IsOpen() const { return file_.IsOpen(); }
  CHostFile& File() { return file_; }
  const QString& FinalPath() const { return finalPath_; }
  // Where the data is written: the temporary, or for an unnamed file its final path.
  const QString& WritePath() const { return file_.Path(); }

  // Starts the write-back of the data without waiting for it: a later flush finds less to do.
  void StartWriteBack();
  // Puts the complete output in place: its data flushed first when bFlush, then given its
  // final name, the folder's entries flushed when bFlushFolder, and closed, every step
  // checked. False (last error set) when a step failed: then nothing written is left and an
  // existing file is as it was.
  bool Commit(bool bFlush, bool bFlushFolder);
  // Removes what was written; nothing else is touched.
  void Discard();

 private:
  bool PlaceUnnamed(bool bFlushFolder);
  bool PlaceTemporary(bool bFlushFolder);
  // Ends the claim on the final name (once the output is in place or gone).
  void ReleaseName();

  CHostFile file_;
  QString finalPath_;  // canonical
  bool unnamed_ = false;
  bool replace_ = false;
  bool claimed_ = false;  // finalPath_ is claimed (a new file)
};

// Removes the program's temporaries ("~pb*.tmp") in a device folder that no open output holds
// and that were last changed before uSinceMs (milliseconds since the epoch). Links and folders
// of that name are left alone. The number removed.
int RemoveLeftovers(const QString& strFolder, qint64 uSinceMs);

// The leftover rule of one run: the first output the run creates in a folder removes that
// folder's leftovers from before the run began. A run makes one on the stack; outputs made on
// the same thread while it lives use it (runs do not nest: the outer one stays in charge).
class CLeftoverSweep {
 public:
  CLeftoverSweep();
  ~CLeftoverSweep();
  CLeftoverSweep(const CLeftoverSweep&) = delete;
  CLeftoverSweep& operator=(const CLeftoverSweep&) = delete;

  qint64 StartMs() const { return startMs_; }
  // Sweeps strFolder once in this run.
  void SweepOnce(const QString& strFolder);
  // The run in charge on this thread, or null.
  static CLeftoverSweep* Current();

 private:
  qint64 startMs_;
  std::set<QString> swept_;  // canonical folders, folded case
  bool owner_ = false;
};

}  // namespace plat
