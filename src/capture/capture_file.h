#pragma once

#include "src/capture/capture_record.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The .tracely capture file (format described in readme.md): a magic line, a format number and
// checksummed parts. Reading never trusts the file: every length and value is checked before
// use, and anything wrong comes back as an error with a sentence for the user.
namespace tracely::capture_file {

inline constexpr std::string_view kMagic{"\x89TRACELY\r\n\x1a\n", 12};
inline constexpr int kVersion = 1;
// Larger than any capture can be (32767 rows of two bytes and a page of text).
inline constexpr std::size_t kMaxBytes = 1u << 20;

enum class Error { None, NotACaptureFile, NewerVersion, Truncated, Damaged, BadContent, TooLarge };

struct ReadResult {
    std::optional<CaptureRecord> record;
    Error error = Error::None;
    std::string message; // for the user; empty on success
};

std::string write(const CaptureRecord& record);
ReadResult read(std::string_view bytes);

// CRC-32 (IEEE 802.3, as zlib and PNG use it).
std::uint32_t crc32(std::string_view bytes);

} // namespace tracely::capture_file
