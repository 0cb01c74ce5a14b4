#include "sync/sync_settings.h"

#include <algorithm>

#include "base/settings_file.h"
#include "sync/sync_run.h"

namespace mirokata {

namespace {
constexpr char kSection[] = "CalDAV";
}  // namespace

SyncSettings ReadSyncSettings(const SettingsReader& settings) {
  SyncSettings out;
  out.use = settings.ReadBool(kSection, "Use", false);
  out.url = settings.ReadString(kSection, "Url", "");
  out.user = settings.ReadString(kSection, "User", "");
  out.interval = std::clamp(
      settings.ReadInteger(kSection, "Interval", kDefaultSyncInterval),
      kMinSyncInterval, kMaxSyncInterval);
  return out;
}

bool WriteSyncSettings(Settings& settings, const SyncSettings& values) {
  return settings.Batch([&](SettingsBatch& batch) {
    batch.WriteBool(kSection, "Use", values.use);
    batch.WriteString(kSection, "Url", values.url);
    batch.WriteString(kSection, "User", values.user);
    batch.WriteInteger(
        kSection, "Interval",
        std::clamp(values.interval, kMinSyncInterval, kMaxSyncInterval));
  });
}

QString SyncResultText(const SyncResult& result) {
  if (!result.ok) return QStringLiteral("同期できません: ") + result.error;
  return QStringLiteral("最終同期: %1  送信 %2件 受信 %3件 競合 %4件")
      .arg(result.finished.toString("yyyy/MM/dd HH:mm"))
      .arg(result.sent)
      .arg(result.received)
      .arg(result.conflicts);
}

}  // namespace mirokata
