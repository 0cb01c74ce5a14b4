// A check of three mailboxes of 20,000 messages each over the scripted
// network, and the reminder mail of a popup of 1,000 lines.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/secret_store.h"
#include "base/settings_file.h"
#include "mail/mail_checker.h"
#include "mail/reminder_message.h"
#include "platform/testing/fake_clock.h"
#include "platform/testing/fake_mail_network.h"
#include "support/temp_folder.h"

namespace mirokata {
namespace {

void BM_CheckThreeMailboxes(benchmark::State& state) {
  TempFolder home;
  SettingsFile settings(home / "mirokata.ini");
  SettingsSecretStore secrets(settings);
  FakeClock clock;
  FakeUptime uptime;
  FakeMailNetwork network;
  settings.Batch([](SettingsBatch& b) {
    for (int n = 1; n <= 3; ++n) {
      const std::string p = "pop" + std::to_string(n);
      b.WriteBool("pop", p + "_check", true);
      b.WriteString("pop", p + "_name", p);
      b.WriteString("pop", p + "_server", p + ".example");
      b.WriteString("pop", p + "_user", "user");
      b.WriteString("pop", p + "_password", MaskSecret("password"));
    }
  });
  network.on_connect_script = [](FakeMailPeer& p) {
    p.Accept();
    p.Send("+OK ready\r\n");
  };
  network.line_script = [](FakeMailPeer& p, const std::string& line) {
    if (line == "CAPA") {
      p.Send("+OK\r\nUSER\r\nSTLS\r\nSASL PLAIN\r\nTOP\r\nUIDL\r\n.\r\n");
    } else if (line == "STAT") {
      p.Send("+OK 20000 1048576000\r\n");
    } else {
      p.Send("+OK\r\n");
    }
  };
  Services services;
  services.settings = &settings;
  services.clock = &clock;
  services.uptime = &uptime;
  services.mail_network = &network;
  int shown = 0;
  MailCheckHooks hooks;
  hooks.show_results = [&shown](const auto& lines) {
    shown += !lines[2].empty();
  };
  MailChecker checker(services, secrets, hooks);
  for (auto _ : state) {
    checker.Check();
    network.RunPending();
    network.peers.clear();
  }
  if (shown != static_cast<int>(state.iterations()) ||
      checker.count(3) != 20000) {
    state.SkipWithError("the check did not count");
  }
}
BENCHMARK(BM_CheckThreeMailboxes)->Unit(benchmark::kMicrosecond);

void BM_ReminderMail1000Lines(benchmark::State& state) {
  const bool japanese = state.range(0) != 0;
  ReminderMail mail;
  mail.from = "desk@example.com";
  mail.to = "me@example.com";
  mail.title = "26/12/11 (Fri) 09:05";
  std::string text;
  for (int i = 0; i < 1000; ++i) {
    text +=
        japanese ? "会議の資料を印刷して～持っていく " : "Print the papers ";
    text += std::to_string(i) + "\n";
  }
  mail.texts = {text};
  FakeClock clock;
  mail.date = clock.Now();
  mail.unique = "1.0";
  for (auto _ : state) {
    std::optional<std::string> message = ComposeReminderMessage(mail);
    if (!message) {
      state.SkipWithError("the mail was refused");
      break;
    }
    benchmark::DoNotOptimize(message->data());
  }
}
BENCHMARK(BM_ReminderMail1000Lines)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mirokata
