// Where the mail passwords are kept. A keyring answers later, so every call
// reports through a callback (possibly before it returns) and never waits.
#ifndef MIROKATA_BASE_SECRET_STORE_H_
#define MIROKATA_BASE_SECRET_STORE_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirokata {

class SettingsFile;

// Accounts: "pop1", "pop2", "pop3" and "smtp".
class SecretStore {
 public:
  virtual ~SecretStore() = default;
  // The stored password; empty when none is stored.
  virtual void Read(const std::string& account,
                    std::function<void(std::optional<std::string>)> done) = 0;
  // Stores (an empty password erases); done(false) when it was not kept.
  virtual void Write(const std::string& account, const std::string& password,
                     std::function<void(bool)> done) = 0;
};

// The settings file's key for an account: pop/popN_password or
// smtp/smtp_password; false for an unknown account.
bool SecretSettingsKey(std::string_view account, std::string* section,
                       std::string* key);

// The stored form without a keyring: every byte XOR one fixed byte, then
// base64, so no byte of the result can be a line break, a blank that a
// reader trims, or bad CP932. Not encryption: it keeps the password from
// being read at a glance; the file itself is 0600.
std::string MaskSecret(std::string_view password);
// Empty when the text is not a masked value.
std::optional<std::string> UnmaskSecret(std::string_view stored);

// Keeps the passwords masked in the settings file. Answers at once.
class SettingsSecretStore : public SecretStore {
 public:
  explicit SettingsSecretStore(SettingsFile& settings) : settings_(settings) {}
  void Read(const std::string& account,
            std::function<void(std::optional<std::string>)> done) override;
  void Write(const std::string& account, const std::string& password,
             std::function<void(bool)> done) override;

 private:
  SettingsFile& settings_;
};

}  // namespace mirokata

#endif  // MIROKATA_BASE_SECRET_STORE_H_
