#include "tools/password_lock.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <QByteArray>
#include <QRandomGenerator>
#include <charconv>
#include <cstdint>
#include <vector>

#include "base/date_pattern.h"
#include "base/settings_file.h"

namespace mirokata {

const char kBuiltInPassPhrase[] =
    "who holds the key to this little book? only 1 of us";

namespace {

constexpr std::string_view kScheme = "$pbkdf2-sha256$";
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;

QByteArray Derive(std::string_view password, const QByteArray& salt,
                  int iterations) {
  QByteArray out(kHashBytes, '\0');
  if (PKCS5_PBKDF2_HMAC(password.data(), int(password.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()),
                        int(salt.size()), iterations, EVP_sha256(), kHashBytes,
                        reinterpret_cast<unsigned char*>(out.data())) != 1) {
    return {};
  }
  return out;
}

QByteArray FromBase64(std::string_view text) {
  const auto result = QByteArray::fromBase64Encoding(
      QByteArray(text.data(), qsizetype(text.size())),
      QByteArray::AbortOnBase64DecodingErrors);
  return result ? *result : QByteArray();
}

std::string ToBase64(const QByteArray& bytes) {
  return bytes.toBase64(QByteArray::OmitTrailingEquals).toStdString();
}

struct ParsedHash {
  int iterations = 0;
  QByteArray salt;
  QByteArray hash;
};

bool Parse(std::string_view stored, ParsedHash* out) {
  if (!IsPasswordHash(stored)) return false;
  stored.remove_prefix(kScheme.size());
  std::vector<std::string_view> parts;
  for (size_t pos; (pos = stored.find('$')) != std::string_view::npos;) {
    parts.push_back(stored.substr(0, pos));
    stored.remove_prefix(pos + 1);
  }
  parts.push_back(stored);
  if (parts.size() != 3) return false;
  const std::string_view count = parts[0];
  auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(),
                                   out->iterations);
  if (ec != std::errc() || end != count.data() + count.size() ||
      out->iterations < 1 || out->iterations > kMaxPasswordIterations) {
    return false;
  }
  out->salt = FromBase64(parts[1]);
  out->hash = FromBase64(parts[2]);
  return !out->salt.isEmpty() && out->salt.size() <= 1024 &&
         out->hash.size() == kHashBytes;
}

}  // namespace

const char* AccessKey(LockedPart part) {
  switch (part) {
    case LockedPart::kDiary:
      return "Diary";
    case LockedPart::kTelephone:
      return "Telephone";
    case LockedPart::kPeriod:
      return "Period";
  }
  return "Period";
}

std::string HashPassword(std::string_view password, int iterations) {
  QByteArray salt(kSaltBytes, '\0');
  QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()),
                                        kSaltBytes / 4);
  return std::string(kScheme) + std::to_string(iterations) + "$" +
         ToBase64(salt) + "$" + ToBase64(Derive(password, salt, iterations));
}

bool IsPasswordHash(std::string_view stored) {
  return stored.substr(0, kScheme.size()) == kScheme;
}

bool PasswordMatches(std::string_view stored, std::string_view typed) {
  if (!IsPasswordHash(stored)) return stored == typed;
  ParsedHash parsed;
  if (!Parse(stored, &parsed)) return false;
  const QByteArray derived = Derive(typed, parsed.salt, parsed.iterations);
  return derived.size() == kHashBytes &&
         CRYPTO_memcmp(derived.data(), parsed.hash.data(), kHashBytes) == 0;
}

bool LockUsed(const SettingsReader& settings) {
  return settings.ReadBool(kPasswordSection, "Use", false);
}

bool PartLocked(const SettingsReader& settings, LockedPart part) {
  if (!LockUsed(settings)) return false;
  return part != LockedPart::kTelephone ||
         settings.ReadBool(kPasswordSection, "tel", false);
}

bool PasswordStored(const SettingsReader& settings) {
  return settings.HasKey(kPasswordSection, "Password");
}

bool CheckPassword(SettingsFile& settings, std::string_view typed) {
  Settings s = settings.Open();
  if (!PasswordStored(s)) return typed == kBuiltInPassPhrase;
  const std::string stored = s.ReadString(kPasswordSection, "Password", "");
  if (!PasswordMatches(stored, typed)) return false;
  if (!IsPasswordHash(stored)) {
    s.WriteString(kPasswordSection, "Password", HashPassword(typed));
  }
  return true;
}

bool StorePassword(SettingsFile& settings, std::string_view password,
                   bool telephone) {
  const std::string hashed = HashPassword(password);
  return settings.Batch([&](SettingsBatch& batch) {
    batch.WriteString(kPasswordSection, "Password", hashed);
    batch.WriteBool(kPasswordSection, "tel", telephone);
  });
}

void WriteAccessTime(SettingsFile& settings, LockedPart part,
                     const LocalTime& now) {
  settings.WriteString(kPasswordSection, AccessKey(part),
                       FormatDatePattern("yyyy/mm/dd hh:nn:ss", now));
}

}  // namespace mirokata
