#include "base/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/file_io.h"

namespace mirokata {
namespace {

std::string WithTrailingSeparator(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string Absolute(const std::string& path, const std::string& current) {
  if (!path.empty() && path.front() == '/') return path;
  if (current.empty()) return path;
  return WithTrailingSeparator(current) + path;
}

std::string EnvOr(const char* name, const char* fallback = "") {
  const char* v = std::getenv(name);
  return v ? v : fallback;
}

// Where a package or `make install` puts programs. Such a folder holds no
// user's files even when it is writable (the administrator runs the
// program): they would land among the system's programs and be lost to the
// next package upgrade.
bool IsSystemProgramFolder(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  return folder == "/bin" || folder == "/sbin" || folder == "/usr" ||
         folder.starts_with("/usr/");
}

}  // namespace

std::string ResolveProgramFolder(
    const ProgramFolderInputs& in,
    const std::function<bool(const std::string&)>& is_writable) {
  if (in.home_option && !in.home_option->empty()) {
    return WithTrailingSeparator(Absolute(*in.home_option, in.current_folder));
  }
  if (in.home_env && !in.home_env->empty()) {
    return WithTrailingSeparator(Absolute(*in.home_env, in.current_folder));
  }
  if (!in.executable_folder.empty() &&
      !IsSystemProgramFolder(in.executable_folder) &&
      is_writable(in.executable_folder)) {
    return WithTrailingSeparator(in.executable_folder);
  }
  std::string data_home = in.xdg_data_home;
  // The base directory rules ignore relative values.
  if (data_home.empty() || data_home.front() != '/') {
    data_home = WithTrailingSeparator(in.user_home) + ".local/share";
  }
  return WithTrailingSeparator(WithTrailingSeparator(data_home) + "mirokata");
}

ProgramFolderInputs ProgramFolderInputsOf(int argc, char** argv) {
  ProgramFolderInputs in;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--home" && i + 1 < argc) {
      in.home_option = argv[++i];
    } else if (arg.starts_with("--home=")) {
      in.home_option = std::string(arg.substr(7));
    }
  }
  if (const char* env = std::getenv("MIROKATA_HOME")) in.home_env = env;
  in.executable_folder = ExecutableFolder(argc > 0 ? argv[0] : nullptr);
  in.xdg_data_home = EnvOr("XDG_DATA_HOME");
  in.user_home = EnvOr("HOME", "/tmp");
  std::vector<char> cwd(4096);
  if (getcwd(cwd.data(), cwd.size())) in.current_folder = cwd.data();
  return in;
}

std::string LocateProgramFolder(const ProgramFolderInputs& inputs) {
  return ResolveProgramFolder(inputs, [](const std::string& path) {
    return access(path.c_str(), W_OK | X_OK) == 0;
  });
}

std::string ProgramFolderFromProcess(int argc, char** argv) {
  std::string folder = LocateProgramFolder(ProgramFolderInputsOf(argc, argv));
  MakeFolders(folder);
  return folder;
}

bool MakeFolders(const std::string& path) {
  if (FolderExists(path)) return true;
  std::string partial;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find('/', pos);
    if (next == std::string::npos) next = path.size();
    partial = path.substr(0, next);
    if (!partial.empty() && !FolderExists(partial)) {
      if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    pos = next + 1;
  }
  return FolderExists(path);
}

std::string JoinPath(std::string_view parent, std::string_view name) {
  std::string out(parent);
  out += '/';
  out += name;
  return out;
}

std::string SettingsFilePath(std::string_view program_folder) {
  return JoinPath(program_folder, "mirokata.ini");
}

bool FolderExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace mirokata
