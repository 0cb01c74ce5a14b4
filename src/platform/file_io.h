// Whole-file reads and crash-safe whole-file writes.
#ifndef MIROKATA_PLATFORM_FILE_IO_H_
#define MIROKATA_PLATFORM_FILE_IO_H_

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace mirokata {

enum class ReadResult { kOk, kMissing, kUnreadable };

// Reads the whole file into *data. kMissing when there is no such file,
// kUnreadable for anything else that stops the read (permissions, I/O
// errors, a folder of that name).
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

// Writes data to a hidden temporary file in the same folder, flushes it to
// disk and renames it over path, so that a reader (or a kill at any moment)
// sees either the old or the new file, never a torn one. The mode of an
// existing file is kept. On failure the old file is untouched, the temporary
// file is removed and *error (if given) says why.
bool WriteFileAtomic(const std::string& path, std::string_view data,
                     std::string* error = nullptr);

// The folder part of a path ("." when it has none).
std::string ParentFolder(const std::string& path);

}  // namespace mirokata

#endif  // MIROKATA_PLATFORM_FILE_IO_H_
