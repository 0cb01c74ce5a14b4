// Where the program keeps its settings file and fixed folders.
#ifndef MIROKATA_BASE_PROGRAM_FOLDER_H_
#define MIROKATA_BASE_PROGRAM_FOLDER_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mirokata {

// Everything ProgramFolder depends on, gathered by the caller so that the
// rule itself can be tested without touching the real environment.
struct ProgramFolderInputs {
  std::optional<std::string> home_option;  // --home DIR
  std::optional<std::string> home_env;     // MIROKATA_HOME
  std::string executable_folder;           // folder of the running program
  std::string xdg_data_home;               // $XDG_DATA_HOME, may be empty
  std::string user_home;                   // $HOME
  std::string current_folder;              // for relative --home values
};

// The folder of the running program, ending with "/". --home wins over
// MIROKATA_HOME, which wins over the executable's folder; when that folder
// is not writable or is a system one (/bin, /sbin, under /usr: an installed
// program), $XDG_DATA_HOME/mirokata (or ~/.local/share/mirokata).
// is_writable is asked about the executable's folder only.
std::string ResolveProgramFolder(
    const ProgramFolderInputs& inputs,
    const std::function<bool(const std::string&)>& is_writable);

// The inputs as the process gives them: argv is scanned for --home DIR and
// --home=DIR.
ProgramFolderInputs ProgramFolderInputsOf(int argc, char** argv);

// Resolves the inputs with access(2) as the writability test. Creates
// nothing, so that tools that only read never leave a folder behind.
std::string LocateProgramFolder(const ProgramFolderInputs& inputs);

// The program's own start: the located folder, created when missing.
std::string ProgramFolderFromProcess(int argc, char** argv);

// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

// parent + "/" + name, never normalised: a parent that already ends with a
// separator gives two in a row, which the file system reads as one. Every
// module builds data paths this way so that the texts stay comparable.
std::string JoinPath(std::string_view parent, std::string_view name);

// The settings file beside the program.
std::string SettingsFilePath(std::string_view program_folder);

bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace mirokata

#endif  // MIROKATA_BASE_PROGRAM_FOLDER_H_
