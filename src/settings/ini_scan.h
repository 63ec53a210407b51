#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tracely::ini {

// Lines longer than this are someone else's data: kept on every write, never read as keys.
inline constexpr std::size_t kMaxLineLength = 64 * 1024;

enum class LineKind { Blank, Comment, Section, Key, Foreign };

// One line of an INI text, as offsets into that text.
struct Line {
    std::size_t begin = 0; // first byte of the line
    std::size_t end = 0;   // one past the content, before the line ending
    std::size_t next = 0;  // first byte of the following line (text size for the last line)
    LineKind kind = LineKind::Foreign;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key's value, trimmed, quotes kept
    std::size_t equals = 0; // offset of the key's "=" in the text

    bool hasEnding() const { return next > end; }
};

// Walks the lines of a text one at a time (a large file is never held twice) and classifies
// each. Lines that hold a NUL byte or exceed kMaxLineLength are Foreign; a leading UTF-8
// byte-order mark is skipped for classification only.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    bool next(Line& line);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Section and key names are compared without regard to ASCII case, as the platform does.
bool namesEqual(std::string_view a, std::string_view b);

// Space, tab, vertical tab, form feed, CR: what the platform trims around names and values.
bool isBlank(char c);
std::string_view trim(std::string_view s);

// A caller's name as it is looked up and written: NUL, CR and LF removed, then trimmed.
std::string normaliseName(std::string_view name);

// A value as it is written: NUL, CR and LF removed so that it stays on its own line.
std::string stripLineBreaks(std::string_view value);

// A key name that would not read back as the same key (or would turn into a section header or
// a comment) is refused: empty, holding "=" or "]", or starting with ";".
bool isWritableKeyName(std::string_view normalisedKey);

// Whether one line's content (no line ending) reads back as the key `key`, or as the section
// header `section`: a line that is too long, or a key line that looks like a header, does not.
bool readsAsKey(std::string_view content, std::string_view key);
bool readsAsSection(std::string_view content, std::string_view section);

// The line ending new lines get: the first one found in the text, else LF.
std::string_view lineEnding(std::string_view text);

} // namespace tracely::ini
