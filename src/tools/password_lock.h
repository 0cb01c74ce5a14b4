// The password lock's stored value and checks. The password is kept as
// "$pbkdf2-sha256$<iterations>$<salt>$<hash>" (salt and hash in base64):
// a settings file that others read gives them no password to reuse. A
// value in the older plain form is the password itself; it is accepted as
// typed and replaced by its hash at the first check.
#ifndef MIROKATA_TOOLS_PASSWORD_LOCK_H_
#define MIROKATA_TOOLS_PASSWORD_LOCK_H_

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace mirokata {

class SettingsFile;
class SettingsReader;

inline constexpr char kPasswordSection[] = "Password";
inline constexpr char kNoAccessText[] = "アクセスありません。";
// Iterations of a new hash: about 150 ms a check on a current machine.
inline constexpr int kPasswordIterations = 500000;
// A stored count above this is refused rather than run for minutes.
inline constexpr int kMaxPasswordIterations = 2000000;

// What the prompt expects while no password has been set.
extern const char kBuiltInPassPhrase[];

// The parts of the program behind the lock, each with the key of its
// last access.
enum class LockedPart { kDiary, kTelephone, kPeriod };
const char* AccessKey(LockedPart part);

// A new stored value for `password`, with a fresh random salt.
std::string HashPassword(std::string_view password,
                         int iterations = kPasswordIterations);
bool IsPasswordHash(std::string_view stored);
// The comparison of one stored value (hashed or plain) with a typed text,
// in constant time for a hash. A damaged hash matches nothing.
bool PasswordMatches(std::string_view stored, std::string_view typed);

// `Use`, and whether `part` asks (the phone book only with `tel`).
bool LockUsed(const SettingsReader& settings);
bool PartLocked(const SettingsReader& settings, LockedPart part);
bool PasswordStored(const SettingsReader& settings);

// Checks a typed text against `Password` (the built-in phrase while there
// is none). An accepted plain value is rewritten as its hash.
bool CheckPassword(SettingsFile& settings, std::string_view typed);

// Stores a new password and `tel` in one batch. False when the file could
// not be written.
bool StorePassword(SettingsFile& settings, std::string_view password,
                   bool telephone);

// Writes the part's access time, "yyyy/mm/dd hh:nn:ss".
void WriteAccessTime(SettingsFile& settings, LockedPart part,
                     const LocalTime& now);

}  // namespace mirokata

#endif  // MIROKATA_TOOLS_PASSWORD_LOCK_H_
