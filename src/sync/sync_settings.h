// The sync's settings (section `CalDAV`) and the line that reports a
// result.
#ifndef MIROKATA_SYNC_SYNC_SETTINGS_H_
#define MIROKATA_SYNC_SYNC_SETTINGS_H_

#include <QString>
#include <string>

namespace mirokata {

class SettingsReader;
class Settings;
struct SyncResult;

inline constexpr int kDefaultSyncInterval = 15;  // minutes
inline constexpr int kMinSyncInterval = 1;
inline constexpr int kMaxSyncInterval = 1440;

struct SyncSettings {
  bool use = false;
  std::string url;
  std::string user;
  int interval = kDefaultSyncInterval;  // minutes, 1 to 1440
  bool operator==(const SyncSettings&) const = default;
};

SyncSettings ReadSyncSettings(const SettingsReader& settings);
// All keys in one batch. The password is not among them: it lives in the
// secret storage.
bool WriteSyncSettings(Settings& settings, const SyncSettings& values);

// "最終同期: yyyy/mm/dd hh:nn  送信 N件 受信 N件 競合 N件", or the error.
QString SyncResultText(const SyncResult& result);

}  // namespace mirokata

#endif  // MIROKATA_SYNC_SYNC_SETTINGS_H_
