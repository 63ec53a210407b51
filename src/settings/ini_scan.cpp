#include "src/settings/ini_scan.h"

#include <algorithm>
#include <cstring>

namespace tracely::ini {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Classifies the content of one line (without its ending); offset is where content starts in
// the whole text, so that the "=" can be located for a rewrite.
void classify(Line& line, std::string_view content, std::size_t offset) {
    if (content.size() > kMaxLineLength || content.find('\0') != std::string_view::npos) {
        line.kind = LineKind::Foreign;
        return;
    }
    const std::string_view t = trim(content);
    if (t.empty()) {
        line.kind = LineKind::Blank;
        return;
    }
    if (t.front() == ';') {
        line.kind = LineKind::Comment;
        return;
    }
    if (t.front() == '[') {
        const std::size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::Section;
            line.name = trim(t.substr(1, close - 1));
            return;
        }
    }
    const std::size_t eq = content.find('=');
    if (eq == std::string_view::npos) {
        line.kind = LineKind::Foreign;
        return;
    }
    const std::string_view name = trim(content.substr(0, eq));
    if (name.empty()) {
        line.kind = LineKind::Foreign;
        return;
    }
    line.kind = LineKind::Key;
    line.name = name;
    line.value = trim(content.substr(eq + 1));
    line.equals = offset + eq;
}

} // namespace

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool namesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

std::string stripLineBreaks(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c != '\0' && c != '\r' && c != '\n') {
            out.push_back(c);
        }
    }
    return out;
}

std::string normaliseName(std::string_view name) {
    return std::string(trim(stripLineBreaks(name)));
}

bool isWritableKeyName(std::string_view key) {
    return !key.empty() && key.front() != ';' && key.find('=') == std::string_view::npos &&
           key.find(']') == std::string_view::npos;
}

namespace {
// The line as a line inside a file: not the first, where a byte-order mark would be skipped.
bool readsAs(std::string_view content, LineKind kind, std::string_view name) {
    if (content.find('\n') != std::string_view::npos) {
        return false;
    }
    const std::string text = "\n" + std::string(content);
    LineCursor cursor(text);
    Line line;
    return cursor.next(line) && cursor.next(line) && line.kind == kind &&
           namesEqual(line.name, name);
}
} // namespace

bool readsAsKey(std::string_view content, std::string_view key) {
    return readsAs(content, LineKind::Key, key);
}

bool readsAsSection(std::string_view content, std::string_view section) {
    return readsAs(content, LineKind::Section, section);
}

std::string_view lineEnding(std::string_view text) {
    const std::size_t lf = text.find('\n');
    if (lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r') {
        return "\r\n";
    }
    return "\n";
}

bool LineCursor::next(Line& line) {
    if (pos_ >= text_.size()) {
        return false;
    }
    line = Line{};
    line.begin = pos_;
    const void* found = std::memchr(text_.data() + pos_, '\n', text_.size() - pos_);
    if (found != nullptr) {
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
        line.next = lf + 1;
        line.end = (lf > pos_ && text_[lf - 1] == '\r') ? lf - 1 : lf;
    } else {
        line.next = text_.size();
        line.end = text_.size();
    }
    std::size_t contentBegin = line.begin;
    if (line.begin == 0 && text_.substr(0, line.end).starts_with(kBom)) {
        contentBegin = kBom.size();
    }
    classify(line, text_.substr(contentBegin, line.end - contentBegin), contentBegin);
    pos_ = line.next;
    return true;
}

} // namespace tracely::ini
