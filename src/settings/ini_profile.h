#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Private-profile semantics over the text of an INI file, with no file access: the file
// layer loads the text, these functions read it or return the edited text, and the file layer
// replaces the file. Names are normalised (see normaliseName) and compared without regard to
// ASCII case; only the first section of a name counts, and within it the first key of a name.
namespace tracely::ini {

// The stored value, trimmed, without one pair of enclosing double quotes; nothing when the
// section or key is missing.
std::optional<std::string> readValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// Key names of the section and section names of the file, in file order, each name once.
std::vector<std::string> keyNames(std::string_view text, std::string_view section);
std::vector<std::string> sectionNames(std::string_view text);

// Names as the platform returns them: each followed by a NUL, as many whole names as fit a
// buffer of bufferSize characters that also holds the final terminating NUL.
std::string joinNames(const std::vector<std::string>& names, std::size_t bufferSize);

// The names of such a list; text after the last NUL is not a name.
std::vector<std::string> splitNames(std::string_view list);

// Why a write was refused: a write that would not read back as written changes nothing.
enum class Refusal {
    None,
    NoSection,       // the section name is empty
    KeyName,         // the key is empty, holds "=" or "]", or starts with ";"
    LooksLikeHeader, // a key starting with "[" and a value holding "]": it would read as a section
    LineTooLong      // the line would be longer than the longest line that is parsed
};

// The edited text, or nothing when the write is refused (the reason in *why). Every line other
// than the key's own is kept byte for byte. A write replaces the key's value in place, or adds
// the key after the last key of the section, or adds the section at the end of the file. NUL,
// CR and LF are removed from the value.
[[nodiscard]] std::optional<std::string> writeValue(std::string_view text, std::string_view section,
                                                    std::string_view key, std::string_view value,
                                                    Refusal* why = nullptr);

// Removes every line of the key in the section (so it reads as missing afterwards).
[[nodiscard]] std::optional<std::string> deleteKey(std::string_view text, std::string_view section,
                                                   std::string_view key);

// Removes every section of the name, from its header up to the next section header.
[[nodiscard]] std::optional<std::string> deleteSection(std::string_view text,
                                                       std::string_view section);

} // namespace tracely::ini
