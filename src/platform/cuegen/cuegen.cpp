// Build tool: writes every built-in cue as <name>.wav plus cues.qrc into the
// folder given on the command line.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/cue_synth.h"

namespace {

// Always rewrites, so the outputs are newer than the generator and the build
// does not run it again.
bool WriteFile(const std::filesystem::path& path,
               const std::vector<char>& bytes) {
  std::filesystem::path temp = path;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::string qrc = "<RCC>\n  <qresource prefix=\"/cues\">\n";
  for (const mirokata::CueFormat& format : mirokata::CueFormats()) {
    std::vector<std::uint8_t> wav = mirokata::SynthesizeCue(format.name);
    const std::string file = format.name + ".wav";
    if (wav.empty() ||
        !WriteFile(folder / file, std::vector<char>(wav.begin(), wav.end()))) {
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
      return 1;
    }
    qrc += "    <file>" + file + "</file>\n";
  }
  qrc += "  </qresource>\n</RCC>\n";
  if (!WriteFile(folder / "cues.qrc",
                 std::vector<char>(qrc.begin(), qrc.end()))) {
    std::fprintf(stderr, "cannot write cues.qrc\n");
    return 1;
  }
  return 0;
}
