#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The file side of the INI access: a bounded read and an atomic replace.
namespace tracely::ini {

// Files larger than this are not parsed: reads give defaults, writes leave the file alone.
inline constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

enum class FileState {
    Loaded,  // text holds the whole file
    Missing, // no file (or no folder) at the path: reads as empty
    Unusable // too large, not a regular file, or unreadable: neither parsed nor replaced
};

struct [[nodiscard]] FileText {
    FileState state = FileState::Missing;
    std::string text;
};

FileText loadFile(const std::string& path);

// What is at a path, as far as an INI file is concerned; nothing is read or created.
enum class PathKind {
    Missing,    // nothing there (or no folder)
    File,       // a regular file that can be opened for reading and is not too large
    Directory,  // a folder
    Fifo,       // a named pipe
    Other,      // a device, a socket, a broken link
    Unreadable, // a regular file this user may not read
    TooLarge    // a regular file over kMaxFileSize
};
[[nodiscard]] PathKind probe(const std::string& path);

// Whether a replace of the file at path can be done: its folder can be written (for the
// temporary file and the rename) and the file is missing or a regular file with a write bit
// that this user may write.
[[nodiscard]] bool canReplace(const std::string& path);

// Writes text to a temporary file in the same folder, flushes it to disk and renames it over
// the file, so that a reader sees either the old or the new file, never a part. The file keeps
// its permission bits; a symbolic link is followed and the file it names is replaced. A file
// without any write permission bit is treated as read-only and not replaced. On failure the
// old file is untouched and no temporary file is left behind.
// The temporary file is locked while it is written, so that removeStaleTemporaries can tell
// the leftover of a save that was killed from the file of a save still running.
[[nodiscard]] bool replaceFile(const std::string& path, std::string_view text);

// Removes the temporary files that saves of the file at path left behind when they were killed
// (hidden files named after it in its folder, or in the folder of the file a link names, that
// no running save holds). Returns how many were removed.
int removeStaleTemporaries(const std::string& path);

} // namespace tracely::ini
