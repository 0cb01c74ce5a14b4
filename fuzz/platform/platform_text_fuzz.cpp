// Command texts, desktop entries and WAV headers from arbitrary bytes: nothing
// may read out of bounds, and the splitters must keep their simple promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/cue_synth.h"
#include "platform/desktop_entry.h"
#include "platform/shell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const mirokata::CommandText command = mirokata::SplitCommandText(text);
  if (command.file.size() + command.parameters.size() > size) std::abort();
  std::size_t total = 0;
  for (const std::string& a : mirokata::SplitArguments(text)) {
    total += a.size();
  }
  if (total > size) std::abort();  // splitting never invents characters
  (void)mirokata::FolderOfPath(text);
  (void)mirokata::ParseDesktopEntry(text, {"a b", "c"}, "/x.desktop");

  const mirokata::WavInfo info = mirokata::ParseWav(data, size);
  if (info.valid && info.data_offset + info.data_size > size) std::abort();
  (void)mirokata::WavSamples(data, size);
  return 0;
}
