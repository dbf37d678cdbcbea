#pragma once
// The encrypted-file engine: turns one file into a ".enc" file and back (format in
// crypto/enc_format.h). It shows nothing: it reports progress through the settings' callback,
// writes its steps to the settings' trace writer and returns an error code.
//
// Calling order: SetKey, then one Encrypt or Decrypt, then ReleaseKey. One run at a time, on
// the calling thread. The output is written as a plat::COutputFile and put in place only when
// it is complete, checked and flushed, so a failed, cancelled or wrong-password run leaves no
// partial output and an existing file of the destination's name exactly as it was.

#include <functional>
#include <memory>

#include <QString>

#include "crypto/enc_format.h"
#include "platform/wintypes.h"

namespace crypto {

class CBlowfish;

enum ECryptoErr : DWORD {
  eCryptoErrNone = 0,
  eCryptoErrStopped = 1,           // the callback asked to stop
  eCryptoErrNoBuffer = 2,          // the chunk buffer could not be allocated
  eCryptoErrCipher = 3,            // no key, or a body that is not whole 8-byte blocks
  eCryptoErrBadPassword = 4,       // the check value differs: wrong password or damaged file
  eCryptoErrReadHeader = 5,        // the header could not be read
  eCryptoErrBadHeader = 6,         // shorter than a header, or wrong magic, version or size
  eCryptoErrHeaderType = 7,        // the header's encryption type is not 2
  eCryptoErrHeaderAlgorithm = 8,   // the header's algorithm is not 0
  eCryptoErrOpen = 9,              // source or destination could not be opened (also: they are
                                   // the same file)
  eCryptoErrFileSize = 11,         // the source's size could not be read
  eCryptoErrRead = 12,             // a read failed
  eCryptoErrWrite = 13,            // a write, the flush, the close or putting the output in
                                   // place failed
  eCryptoErrSettingsType = 14,     // unsupported encryption type in the settings
  eCryptoErrSettingsAlgorithm = 15,  // unsupported algorithm in the settings
  eCryptoErrTooLarge = 16,         // a source of 4 GiB or more: the header holds 32-bit sizes
};

// Events passed to the callback, with their values.
enum ECryptoEvent : DWORD {
  eOpenSourceOK = 0,     // 0
  eOpenDstOK = 1,        // 0
  ePrepareHeaderOK = 2,  // encrypt: the source's size
  eCheckHeaderOK = 3,    // decrypt: the plain size from the header
  eWriteHeaderOK = 4,    // encrypt: 40
  eReadNodeOK = 5,       // bytes just read
  eWriteNodeOK = 6,      // bytes just written; 0 after the final empty read
  eProcessFileOK = 7,    // 0
  eSourceClosed = 8,     // 0; the answer is ignored
  eDstClosed = 9,        // 0; the answer is ignored
};

// Returns 1 to stop the run, 0 to go on. `dwReserved` is always 0.
using FnCryptoCallback =
    std::function<DWORD(DWORD dwEvent, DWORD dwValue, DWORD dwReserved, DWORD dwUserData)>;
// Receives one step line of the run (without time stamp or line end), as the operation trace
// writer of the application log takes it. The password is never passed.
using FnCryptoTrace = std::function<void(const QString& strLine)>;

// Passwords that get a key, in characters.
constexpr int kPasswordMinChars = 6;
constexpr int kPasswordMaxChars = 40;

struct CCryptoSettings {
  DWORD dwEncType = kEncTypeBlowfish;  // only 2
  QString strProvider;                 // traced, otherwise unused
  DWORD dwAlgorithm = kEncAlgorithmEcb;  // only 0
  QString strPassword;
  FnCryptoCallback fnCallback;  // may be empty
  DWORD dwUserData = 0;         // handed to the callback
  FnCryptoTrace fnTrace;        // may be empty
};

class CCryptoEngine {
 public:
  CCryptoEngine();
  ~CCryptoEngine();
  CCryptoEngine(const CCryptoEngine&) = delete;
  CCryptoEngine& operator=(const CCryptoEngine&) = delete;

  // The program's one engine (its cipher state is global to the program).
  static CCryptoEngine& Global();

  // Sets the key from the password: 6 to 40 characters whose bytes in the ANSI code page are
  // at most 72 (all of them reach the key schedule). False, and no key, otherwise; the run
  // then fails with eCryptoErrCipher.
  bool SetKey(const CCryptoSettings& settings);
  bool HasKey() const { return cipher_ != nullptr; }
  // Wipes and frees the cipher state.
  void ReleaseKey();

  DWORD Encrypt(const QString& strSource, const QString& strDestination,
                const CCryptoSettings& settings);
  DWORD Decrypt(const QString& strSource, const QString& strDestination,
                const CCryptoSettings& settings);

 private:
  std::unique_ptr<CBlowfish> cipher_;
};

}  // namespace crypto
