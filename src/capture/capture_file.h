#pragma once

#include "src/capture/capture_record.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The .tracely capture file (format described in readme.md): a magic line, a format number and
// checksummed parts. Reading never trusts the file: every length and value is checked before
// use, and anything wrong comes back as an error with a sentence for the user.
namespace tracely::capture_file {

inline constexpr std::string_view kMagic{"\x89TRACELY\r\n\x1a\n", 12};
inline constexpr int kVersion = 1;
// A single capture is at most 64 KiB of rows and a page of text; a recording holds hundreds.
inline constexpr std::size_t kMaxBytes = 64u << 20;

enum class [[nodiscard]] Error{None,    NotACaptureFile, NewerVersion, Truncated,
                               Damaged, BadContent,      TooLarge};

struct [[nodiscard]] ReadResult {
    std::vector<CaptureRecord> records; // one, or several for a recording; none on an error
    Error error = Error::None;
    std::string message; // for the user; empty on success
};

// A whole file of one capture.
std::string write(const CaptureRecord& record);
// A file in three steps, for a recording: the header, each capture, and the end mark (the
// last `kEndBytes` of a file, to be overwritten by the next capture appended).
std::string header();
std::string captureParts(const CaptureRecord& record);
std::string endMark();
inline constexpr std::size_t kEndBytes = 12;

ReadResult read(std::string_view bytes);

// CRC-32 (IEEE 802.3, as zlib and PNG use it).
std::uint32_t crc32(std::string_view bytes);

} // namespace tracely::capture_file
