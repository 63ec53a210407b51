// The INI reader and writer on arbitrary text, names and values: a write that is accepted
// reads back as written, idempotently, and keeps every other line and every other value; a
// refused write has a reason that fits it; deletes remove exactly what they name.
#include "src/settings/ini_profile.h"
#include "src/settings/ini_scan.h"
#include "tests/fuzz/check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace tracely::ini;

using tracely::test::check;

namespace {

// What a reader gets back for a written value: trimmed, one pair of quotes removed.
std::string readBack(const std::string& value) {
    const std::string line = stripLineBreaks(value);
    std::string_view v = trim(line);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') {
        v = v.substr(1, v.size() - 2);
    }
    return std::string(v);
}

// The edit touched at most one line's content: outside the common prefix and suffix, the old
// text holds no line break.
bool touchesOneLine(const std::string& before, const std::string& after) {
    const std::size_t most = std::min(before.size(), after.size());
    std::size_t head = 0;
    while (head < most && before[head] == after[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < most - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    const std::string_view removed(before.data() + head, before.size() - head - tail);
    return removed.find('\n') == std::string_view::npos;
}

struct Name {
    std::string section, key;
};

// A sample of the names the text holds, to check that an edit of one leaves the others alone.
std::vector<Name> namesOf(const std::string& text) {
    std::vector<Name> names;
    const std::vector<std::string> sections = sectionNames(text);
    for (std::size_t i = 0; i < sections.size() && i < 4; ++i) {
        const std::vector<std::string> keys = keyNames(text, sections[i]);
        for (std::size_t j = 0; j < keys.size() && j < 8; ++j) {
            names.push_back({sections[i], keys[j]});
        }
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string section = in.ConsumeRandomLengthString(32);
    const std::string key = in.ConsumeRandomLengthString(32);
    std::string value = in.ConsumeRandomLengthString(64);
    if (in.ConsumeIntegralInRange(0, 15) == 15) { // not when the input has run out
        // Now and then a value near the longest line that is parsed.
        value.append(
            in.ConsumeIntegralInRange<std::size_t>(kMaxLineLength - 64, kMaxLineLength + 64),
            in.ConsumeIntegral<char>());
    }
    const std::string text = in.ConsumeRemainingBytesAsString();
    const std::vector<Name> names = namesOf(text);

    // Every name but the one edited reads as it did.
    const auto othersKept = [&](const std::string& after) {
        for (const Name& n : names) {
            const bool edited = namesEqual(normaliseName(n.section), normaliseName(section)) &&
                                namesEqual(normaliseName(n.key), normaliseName(key));
            if (!edited &&
                readValue(after, n.section, n.key) != readValue(text, n.section, n.key)) {
                return false;
            }
        }
        return true;
    };
    Refusal why = Refusal::None;
    const std::optional<std::string> written = writeValue(text, section, key, value, &why);
    const std::string k = normaliseName(key);
    if (written) {
        check(why == Refusal::None, "accepted with a reason");
        check(readValue(*written, section, key) == readBack(value), "value does not read back");
        check(writeValue(*written, section, key, value) == *written, "second write changes");
        check(touchesOneLine(text, *written), "write changed another line");
        check(othersKept(*written), "write changed another value");
    } else {
        check(why != Refusal::None, "refused without a reason");
        check(why != Refusal::NoSection || normaliseName(section).empty(),
              "section refused wrongly");
        check(why != Refusal::KeyName || !isWritableKeyName(k), "key refused wrongly");
        check(why != Refusal::LooksLikeHeader || (!k.empty() && k.front() == '['),
              "header refusal for a plain key");
        // The line keeps what stands before "=" on it: only the whole input bounds it.
        check(why != Refusal::LineTooLong ||
                  text.size() + value.size() + key.size() + section.size() + 2 > kMaxLineLength,
              "length refusal for a short line");
    }
    if (const std::optional<std::string> deleted = deleteKey(text, section, key)) {
        check(!readValue(*deleted, section, key), "deleted key still reads");
        check(othersKept(*deleted), "delete changed another value");
    }
    if (const std::optional<std::string> gone = deleteSection(text, section)) {
        for (const std::string& s : sectionNames(*gone)) {
            check(!namesEqual(s, normaliseName(section)), "deleted section still there");
        }
    }
    return 0;
}
