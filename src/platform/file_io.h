// Whole-file reads and crash-safe whole-file writes, with explicit modes.
#ifndef MIROKATA_PLATFORM_FILE_IO_H_
#define MIROKATA_PLATFORM_FILE_IO_H_

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace mirokata {

// Modes. Private data (the settings file with its passwords, the diary, the
// period tracker, the password lock) is readable by its owner alone; other
// data gets what a plain creat/mkdir would give under the user's umask.
inline constexpr mode_t kPrivateFileMode = 0600;
inline constexpr mode_t kPrivateFolderMode = 0700;

// The process's file-creation mask as it was at start-up. Read once (from
// /proc/self/status where it can be) and never changed by this program:
// umask is process-wide, and the picture worker writes files too.
mode_t StartupUmask();
// 0666 and 0777 without the bits of StartupUmask() (0644 and 0755 under the
// usual 022).
mode_t PublicFileMode();
mode_t PublicFolderMode();

enum class ReadResult { kOk, kMissing, kUnreadable };

// Reads the whole file into *data. kMissing when there is no such file,
// kUnreadable for anything else that stops the read (permissions, I/O
// errors, a folder, FIFO, socket or device of that name). The open never
// blocks: a FIFO with no writer is reported at once, not waited for.
ReadResult ReadWholeFile(const std::string& path, std::string* data);

// The same, also giving the identity of the file that was read (fstat of the
// open file), so a caller's cache can never pair new contents with an old
// identity when the file is replaced in between.
ReadResult ReadWholeFile(const std::string& path, std::string* data,
                         struct stat* info);

// Reads at most `max_bytes` from the start of the file into *data (the
// whole file when it is shorter), results as ReadWholeFile.
ReadResult ReadFileHead(const std::string& path, size_t max_bytes,
                        std::string* data);

// Writes data to a hidden temporary file (".<name>.tmp-XXXXXX") in the
// folder of the file, flushes it to disk (one fdatasync) and renames it over
// the file, so that a reader (or a kill at any moment) sees either the old
// or the new file, never a torn one. The file ends with exactly `mode`
// (fchmod; the umask plays no part and is never touched), whether it is new
// or replaced. A path that is a symbolic link (a chain of them) stays a
// link: the file it finally names is the one replaced, from its own folder.
// On failure the old file is untouched, the temporary file is removed and
// *error (if given) says why.
bool WriteFileAtomic(const std::string& path, std::string_view data,
                     mode_t mode, std::string* error = nullptr);

// One file for WriteNewFiles: a plain name inside the folder (no "/") and
// its bytes.
struct NewFile {
  std::string_view name;
  std::string_view data;
};

struct NewFileResult {
  enum State { kWritten, kExists, kFailed };
  State state = kFailed;
  std::string error;  // why, for kFailed
};

// Creates many new files in one folder (an import of thousands), each with
// the guarantees of WriteFileAtomic: it appears whole under its name or not
// at all, and ends with exactly `mode`. A name the folder holds already (in
// exactly that spelling, even one created a moment ago) is never replaced:
// that file is left alone and reported kExists. One file's failure is
// reported in its result and stops no other; so is a name that is no plain
// name in the folder.
//
// The cost is what makes it worth having: the files of a group are all
// written first, flushed to disk by one sync of the file system instead of
// one per file, and only then named. The temporaries are unnamed (O_TMPFILE)
// where the file system has them, so a kill leaves nothing behind; elsewhere
// they are hidden files as WriteFileAtomic's, which no reader lists.
// One result per file, in order. kHidden takes the path of file systems
// without unnamed files wherever it runs (tests cover it so).
enum class Temporaries { kUnnamedWhereSupported, kHidden };
std::vector<NewFileResult> WriteNewFiles(
    const std::string& folder, const std::vector<NewFile>& files, mode_t mode,
    Temporaries temporaries = Temporaries::kUnnamedWhereSupported);

// The file a path finally names once its symbolic links are followed (the
// path itself when it is no link or does not exist). False, with *error,
// for a loop or a chain longer than 40 links.
bool ResolveLinkChain(const std::string& path, std::string* target,
                      std::string* error = nullptr);

// The folder part of a path ("." when it has none).
std::string ParentFolder(const std::string& path);

// The folder of the running program, from /proc/self/exe, else from
// `argv0` when given; "." when neither says.
std::string ExecutableFolder(const char* argv0 = nullptr);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_FILE_IO_H_
