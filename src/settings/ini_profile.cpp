#include "src/settings/ini_profile.h"

#include "src/settings/ini_scan.h"

#include <unordered_set>

namespace tracely::ini {
namespace {

struct Range {
    std::size_t begin;
    std::size_t end;
};

// Calls onLine for each line of the body of the first section named `section` until it
// returns false; returns whether that section exists (its header in *header when asked).
template <class F>
bool scanFirstSection(std::string_view text, std::string_view section, F onLine,
                      Line* header = nullptr) {
    if (section.empty()) {
        return false; // an empty name names nothing
    }
    LineCursor cursor(text);
    Line line;
    bool inside = false;
    while (cursor.next(line)) {
        if (line.kind == LineKind::Section) {
            if (inside) {
                return true;
            }
            if (namesEqual(line.name, section)) {
                inside = true;
                if (header != nullptr) {
                    *header = line;
                }
            }
        } else if (inside && !onLine(line)) {
            return true;
        }
    }
    return inside;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// Appends a name unless one equal to it (ignoring case) is already there.
void addOnce(std::vector<std::string>& names, std::unordered_set<std::string>& seen,
             std::string_view name) {
    if (!name.empty() && seen.insert(lowered(name)).second) {
        names.emplace_back(name);
    }
}

std::string without(std::string_view text, const std::vector<Range>& cuts) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (const Range& r : cuts) {
        out.append(text.substr(pos, r.begin - pos));
        pos = r.end;
    }
    out.append(text.substr(pos));
    return out;
}

} // namespace

std::optional<std::string> readValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    const std::string sec = normaliseName(section);
    const std::string k = normaliseName(key);
    std::optional<std::string> found;
    scanFirstSection(text, sec, [&](const Line& line) {
        if (line.kind == LineKind::Key && namesEqual(line.name, k)) {
            std::string_view v = line.value;
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
                v = v.substr(1, v.size() - 2);
            }
            found = std::string(v);
            return false;
        }
        return true;
    });
    return found;
}

std::vector<std::string> keyNames(std::string_view text, std::string_view section) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    scanFirstSection(text, normaliseName(section), [&](const Line& line) {
        if (line.kind == LineKind::Key) {
            addOnce(names, seen, line.name);
        }
        return true;
    });
    return names;
}

std::vector<std::string> sectionNames(std::string_view text) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    LineCursor cursor(text);
    Line line;
    while (cursor.next(line)) {
        if (line.kind == LineKind::Section) {
            addOnce(names, seen, line.name);
        }
    }
    return names;
}

std::string joinNames(const std::vector<std::string>& names, std::size_t bufferSize) {
    std::string list;
    const std::size_t room = bufferSize > 0 ? bufferSize - 1 : 0;
    for (const std::string& name : names) {
        if (list.size() + name.size() + 1 > room) {
            break;
        }
        list.append(name);
        list.push_back('\0');
    }
    return list;
}

std::vector<std::string> splitNames(std::string_view list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t nul = list.find('\0'); nul != std::string_view::npos;
         nul = list.find('\0', start)) {
        names.emplace_back(list.substr(start, nul - start));
        start = nul + 1;
    }
    return names;
}

namespace {

std::optional<std::string> refuse(Refusal reason, Refusal* why) {
    if (why != nullptr) {
        *why = reason;
    }
    return std::nullopt;
}

// The line that will carry the key must read back as that key (and a new header as that
// section); otherwise the value would be written and then read back as missing.
Refusal checkLine(std::string_view content, std::string_view key) {
    if (readsAsKey(content, key)) {
        return Refusal::None;
    }
    return content.size() > kMaxLineLength ? Refusal::LineTooLong : Refusal::LooksLikeHeader;
}

// The key's line with the new value after its "=", every other byte kept.
std::optional<std::string> replaceValue(std::string_view text, const Line& match,
                                        const std::string& k, const std::string& v, Refusal* why) {
    const std::string_view prefix = text.substr(match.begin, match.equals + 1 - match.begin);
    if (const Refusal r = checkLine(std::string(prefix).append(v), k); r != Refusal::None) {
        return refuse(r, why);
    }
    std::string out;
    out.reserve(text.size() + v.size());
    out.append(text.substr(0, match.equals + 1));
    out.append(v);
    out.append(text.substr(match.end));
    return out;
}

// The text with a new section holding the key at its end.
std::string withNewSection(std::string_view text, const std::string& newHeader,
                           const std::string& keyLine) {
    const std::string_view eol = lineEnding(text);
    std::string out;
    out.reserve(text.size() + newHeader.size() + keyLine.size() + 8);
    out.append(text);
    if (!out.empty() && out.back() != '\n') {
        out.append(eol);
    }
    out.append(newHeader).append(eol);
    out.append(keyLine).append(eol);
    return out;
}

// The text with the key's line after the line `after`, ending as that line ends.
std::string insertedAfter(std::string_view text, const Line& after, const std::string& keyLine) {
    const std::string_view ending =
        after.hasEnding() ? text.substr(after.end, after.next - after.end) : lineEnding(text);
    std::string out;
    out.reserve(text.size() + keyLine.size() + 8);
    out.append(text.substr(0, after.end)).append(ending);
    out.append(keyLine).append(ending);
    out.append(text.substr(after.next));
    return out;
}

} // namespace

std::optional<std::string> writeValue(std::string_view text, std::string_view section,
                                      std::string_view key, std::string_view value, Refusal* why) {
    if (why != nullptr) {
        *why = Refusal::None;
    }
    const std::string sec = normaliseName(section);
    const std::string k = normaliseName(key);
    if (sec.empty()) {
        return refuse(Refusal::NoSection, why);
    }
    if (!isWritableKeyName(k)) {
        return refuse(Refusal::KeyName, why);
    }
    const std::string v = stripLineBreaks(value);
    Line header;
    std::optional<Line> lastKey;
    std::optional<Line> match;
    const bool haveSection = scanFirstSection(
        text, sec,
        [&](const Line& line) {
            if (line.kind != LineKind::Key) {
                return true;
            }
            if (namesEqual(line.name, k)) {
                match = line;
                return false;
            }
            lastKey = line;
            return true;
        },
        &header);

    if (match) {
        return replaceValue(text, *match, k, v, why);
    }
    const std::string keyLine = k + "=" + v;
    if (const Refusal r = checkLine(keyLine, k); r != Refusal::None) {
        return refuse(r, why);
    }
    const std::string newHeader = "[" + sec + "]";
    if (!haveSection && !readsAsSection(newHeader, sec)) {
        return refuse(Refusal::LineTooLong, why); // only length can spoil a header of ours
    }
    if (!haveSection) {
        return withNewSection(text, newHeader, keyLine);
    }
    return insertedAfter(text, lastKey ? *lastKey : header, keyLine);
}

std::optional<std::string> deleteKey(std::string_view text, std::string_view section,
                                     std::string_view key) {
    const std::string sec = normaliseName(section);
    const std::string k = normaliseName(key);
    if (sec.empty() || !isWritableKeyName(k)) {
        return std::nullopt;
    }
    std::vector<Range> cuts;
    scanFirstSection(text, sec, [&](const Line& line) {
        if (line.kind == LineKind::Key && namesEqual(line.name, k)) {
            cuts.push_back({line.begin, line.next});
        }
        return true;
    });
    return without(text, cuts);
}

std::optional<std::string> deleteSection(std::string_view text, std::string_view section) {
    const std::string sec = normaliseName(section);
    if (sec.empty()) {
        return std::nullopt;
    }
    std::vector<Range> cuts;
    bool inside = false;
    LineCursor cursor(text);
    Line line;
    while (cursor.next(line)) {
        if (line.kind != LineKind::Section) {
            continue;
        }
        if (inside) {
            cuts.back().end = line.begin;
        }
        inside = namesEqual(line.name, sec);
        if (inside) {
            // A byte-order mark before the first header belongs to the file, not the section.
            const std::size_t start =
                (line.begin == 0 && text.starts_with("\xEF\xBB\xBF")) ? 3 : line.begin;
            cuts.push_back({start, text.size()});
        }
    }
    return without(text, cuts);
}

} // namespace tracely::ini
