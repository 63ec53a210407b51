#include "src/settings/ini_profile.h"
#include "src/settings/ini_scan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace tracely::ini {
namespace {

using Names = std::vector<std::string>;
const std::string kLong(70 * 1024, 'x'); // beyond the longest line that is parsed

TEST(IniText, ReadsAndListsLikeThePlatform) {
    // clang-format off
    const struct { std::string text, section, key; std::optional<std::string> want; } cases[] = {
        {"[OPTIONS]\n  Rate=25\n", " Options ", " rate ", "25"},
        {"[s]\nk=v\n", "s", "j", std::nullopt},
        {"[s]\nk=\"/dev/tty\"\n", "s", "k", "/dev/tty"},
        {"[s]\nk=\"x\n", "s", "k", "\"x"},
        {"[s]\nk=\"p\" q\"\n", "s", "k", "p\" q"},
        {"[s]\nk=v=w\n", "s", "k", "v=w"},
        {"[a]\nk=1\nK=2\n[A]\nk=4\nz=5\n", "a", "k", "1"},
        {"[a]\nk=1\n[A]\nz=5\n", "a", "z", std::nullopt}, // only the first section counts
        {"[s]\n;c=1\n", "s", ";c", std::nullopt},
        {"[ a]b ] tail\nk=1\n", "a]b", "k", "1"},
        {"\xEF\xBB\xBF[s]\r\nk=v \r\n", "s", "k", "v"},
        {"[s]\nn\0k=1\n"s, "s", "n", std::nullopt},
        {"[s]\nbig=" + kLong + "\n", "s", "big", std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(readValue(c.text, c.section, c.key), c.want) << c.text;
    }
    const std::string text = "top=1\n[s]\nno equals\n=x\nk=1\n[bad\nx=2\n[]\n[t]\n[S]\nz=1\n";
    EXPECT_EQ(keyNames(text, "s"), (Names{"k", "x"}));
    EXPECT_EQ(sectionNames(text), (Names{"s", "t"}));
    // Lists hold whole names only, within a buffer that also holds the final terminator.
    const Names names{"ab", "cde", "f"};
    EXPECT_EQ(joinNames(names, 10), "ab\0cde\0f\0"s);
    EXPECT_EQ(joinNames(names, 9), "ab\0cde\0"s);
    EXPECT_EQ(joinNames({}, 8192), "");
    EXPECT_EQ(splitNames("ab\0cde\0f\0"s), names);
    EXPECT_EQ(splitNames("ab\0tail"s), (Names{"ab"}));
}

TEST(IniText, WritesEditOnlyTheirOwnLine) {
    // clang-format off
    const struct { std::string text, section, key, value; std::optional<std::string> want; }
    cases[] = {
        {"[a]\nk=1\n\n[b]\n", "a", "n", "2", "[a]\nk=1\nn=2\n\n[b]\n"},
        {"[a]\r\n; c\r\n[b]\r\n", "A", "n", "2", "[a]\r\nn=2\r\n; c\r\n[b]\r\n"},
        {"[a]\nk=1", "a", "n", "2", "[a]\nk=1\nn=2\n"},
        {"; c\r\n[s]\r\n\tk = old ; v\r\nz=1", "s", "k", "new", "; c\r\n[s]\r\n\tk =new\r\nz=1"},
        {"", "PORTS", "COM1", "/dev/x", "[PORTS]\nCOM1=/dev/x\n"},
        {"[a]\r\nk=1", "b", "n", "2", "[a]\r\nk=1\r\n[b]\r\nn=2\r\n"},
        {"[s]\nk=1\nq=2\n", "s", "k", "a\r\n[evil]\nb\0c"s, "[s]\nk=a[evil]bc\nq=2\n"},
        {"", "s\r\n", "k\n2", "v", "[s]\nk2=v\n"},
        {"", "s", "[x", "v", "[s]\n[x=v\n"}, // no "]": still a key
        {"[s]\n" + kLong + "\nn\0l=1\n"s, "s", "k", "v", "[s]\nk=v\n" + kLong + "\nn\0l=1\n"s},
        {"", "", "k", "v", std::nullopt},
        {"", "\r\n", "k", "v", std::nullopt},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(writeValue(c.text, c.section, c.key, c.value), c.want) << c.text;
    }
    for (const char* key : {"", "  ", "a=b", "[x]", "x]", ";c", "\r\n"}) {
        EXPECT_EQ(writeValue("[s]\n", "s", key, "v"), std::nullopt) << key;
        EXPECT_EQ(deleteKey("[s]\n", "s", key), std::nullopt) << key;
    }
}

TEST(IniText, AWriteThatWouldNotReadBackIsRefusedAndChangesNothing) {
    const std::string longest(kMaxLineLength - 2, 'v'); // "k=" and this: the longest line
    // clang-format off
    const struct { std::string text, section, key, value; Refusal why; } cases[] = {
        {"[s]\n", "s", "[x", "a]b", Refusal::LooksLikeHeader},    // "[x=a]b" is a header
        {"[s]\n[x=1\n", "s", "[X", "]", Refusal::LooksLikeHeader}, // and so in place
        {"[s]\n", "s", "k", longest + "v", Refusal::LineTooLong},   // would read back empty
        {"[s]\n  k=1\n", "s", "k", longest, Refusal::LineTooLong}, // its indent counts
        {"", std::string(kMaxLineLength, 's'), "k", "v", Refusal::LineTooLong},
        {"", " ", "k", "v", Refusal::NoSection},
        {"", "s", "a=b", "v", Refusal::KeyName},
    };
    // clang-format on
    for (const auto& c : cases) {
        Refusal why = Refusal::None;
        EXPECT_EQ(writeValue(c.text, c.section, c.key, c.value, &why), std::nullopt) << c.key;
        EXPECT_EQ(why, c.why) << c.key;
    }
    // Just within both limits, the value is written and read back whole.
    const auto at = writeValue("[s]\n", "s", "[x", longest.substr(1));
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(readValue(*at, "s", "[x"), longest.substr(1));
    // A key that only looks like a header after a byte-order mark is an ordinary key.
    const auto bom = writeValue("[s]\n", "s", "\xEF\xBB\xBF[x", "a]");
    ASSERT_TRUE(bom.has_value());
    EXPECT_EQ(readValue(*bom, "s", "\xEF\xBB\xBF[x"), "a]");
    const auto whole = writeValue("[s]\n", "s", "k", longest);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(readValue(*whole, "s", "k"), longest);
}

} // namespace
} // namespace tracely::ini
