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

struct FileText {
    FileState state = FileState::Missing;
    std::string text;
};

FileText loadFile(const std::string& path);

// Writes text to a temporary file in the same folder, flushes it to disk and renames it over
// the file, so that a reader sees either the old or the new file, never a part. The file keeps
// its permission bits; a symbolic link is followed and the file it names is replaced. A file
// without any write permission bit is treated as read-only and not replaced. On failure the
// old file is untouched and no temporary file is left behind.
bool replaceFile(const std::string& path, std::string_view text);

} // namespace tracely::ini
