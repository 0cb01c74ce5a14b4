#include "base/secret_store.h"

#include <QByteArray>

#include "base/settings_file.h"

namespace mirokata {
namespace {

constexpr unsigned char kMask = 0x5A;

std::string Masked(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out)
    c = static_cast<char>(static_cast<unsigned char>(c) ^ kMask);
  return out;
}

}  // namespace

bool SecretSettingsKey(std::string_view account, std::string* section,
                       std::string* key) {
  if (account == "pop1" || account == "pop2" || account == "pop3") {
    *section = "pop";
    *key = std::string(account) + "_password";
    return true;
  }
  if (account == "smtp") {
    *section = "smtp";
    *key = "smtp_password";
    return true;
  }
  return false;
}

std::string MaskSecret(std::string_view password) {
  const std::string masked = Masked(password);
  return QByteArray(masked.data(), static_cast<qsizetype>(masked.size()))
      .toBase64()
      .toStdString();
}

std::optional<std::string> UnmaskSecret(std::string_view stored) {
  const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
      QByteArray(stored.data(), static_cast<qsizetype>(stored.size())),
      QByteArray::AbortOnBase64DecodingErrors);
  if (!decoded) return std::nullopt;
  return Masked(std::string_view(decoded.decoded.constData(),
                                 static_cast<size_t>(decoded.decoded.size())));
}

void SettingsSecretStore::Read(
    const std::string& account,
    std::function<void(std::optional<std::string>)> done) {
  std::string section, key;
  std::optional<std::string> password;
  if (SecretSettingsKey(account, &section, &key)) {
    const std::string stored = settings_.ReadString(section, key, "");
    if (!stored.empty()) password = UnmaskSecret(stored);
  }
  if (done) done(password);
}

void SettingsSecretStore::Write(const std::string& account,
                                const std::string& password,
                                std::function<void(bool)> done) {
  std::string section, key;
  bool ok = false;
  if (SecretSettingsKey(account, &section, &key)) {
    ok = password.empty()
             ? settings_.Open().DeleteKey(section, key)
             : settings_.WriteString(section, key, MaskSecret(password));
  }
  if (done) done(ok);
}

}  // namespace mirokata
