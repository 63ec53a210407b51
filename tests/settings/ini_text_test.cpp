#include "src/settings/ini_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace tracely::ini {
namespace {

const std::string kSample = "; settings\n"
                            "[OPTIONS]\n"
                            "ShowAN = True \n"
                            "  Samplerate=25MSa/s\n"
                            "\n"
                            "[Ports]\n"
                            "COM1=\"/dev/ttyUSB0\"\n"
                            "COM2=/dev/ttyS1\n";

TEST(IniRead, FindsValuesTrimmedAndIgnoringCase) {
    EXPECT_EQ(readValue(kSample, "OPTIONS", "ShowAN"), "True");
    EXPECT_EQ(readValue(kSample, "options", "SHOWAN"), "True");
    EXPECT_EQ(readValue(kSample, " Options ", " samplerate "), "25MSa/s");
    EXPECT_EQ(readValue(kSample, "PORTS", "COM1"), "/dev/ttyUSB0"); // quotes dropped
    EXPECT_EQ(readValue(kSample, "PORTS", "COM3"), std::nullopt);
    EXPECT_EQ(readValue(kSample, "NONE", "COM1"), std::nullopt);
    EXPECT_EQ(readValue(kSample, "", "COM1"), std::nullopt);
    EXPECT_EQ(readValue("", "OPTIONS", "ShowAN"), std::nullopt);
}

TEST(IniRead, QuotesOnlyWhenBothEndsMatch) {
    const std::string text = "[s]\na=\"x\nb=\"\nc=\"\"\nd='y'\ne=\"p\" q\"\n";
    EXPECT_EQ(readValue(text, "s", "a"), "\"x");
    EXPECT_EQ(readValue(text, "s", "b"), "\"");
    EXPECT_EQ(readValue(text, "s", "c"), "");
    EXPECT_EQ(readValue(text, "s", "d"), "'y'");
    EXPECT_EQ(readValue(text, "s", "e"), "p\" q");
}

TEST(IniRead, FirstSectionAndFirstKeyWin) {
    const std::string text = "[a]\nk=1\nK=2\n[b]\nk=3\n[A]\nk=4\nz=5\n";
    EXPECT_EQ(readValue(text, "a", "k"), "1");
    EXPECT_EQ(readValue(text, "a", "z"), std::nullopt);
    EXPECT_EQ(keyNames(text, "A"), (std::vector<std::string>{"k"}));
    EXPECT_EQ(sectionNames(text), (std::vector<std::string>{"a", "b"}));
}

TEST(IniRead, CommentsForeignLinesAndKeysBeforeAnySectionAreNotKeys) {
    const std::string text = "top=1\n[s]\n;c=1\nno equals here\n=nameless\nk=v=w\n[bad\nx=2\n";
    EXPECT_EQ(keyNames(text, "s"), (std::vector<std::string>{"k", "x"}));
    EXPECT_EQ(readValue(text, "s", ";c"), std::nullopt);
    EXPECT_EQ(readValue(text, "s", "k"), "v=w");
    EXPECT_EQ(sectionNames(text), (std::vector<std::string>{"s"}));
}

TEST(IniRead, SectionHeaderRunsToTheLastBracket) {
    const std::string text = "[ a]b ] trailing\nk=1\n[]\nq=2\n";
    EXPECT_EQ(sectionNames(text), (std::vector<std::string>{"a]b"}));
    EXPECT_EQ(readValue(text, "a]b", "k"), "1");
}

TEST(IniRead, CrLfAndByteOrderMark) {
    const std::string text = "\xEF\xBB\xBF[s]\r\nk=v \r\n";
    EXPECT_EQ(readValue(text, "s", "k"), "v");
    EXPECT_EQ(sectionNames(text), (std::vector<std::string>{"s"}));
}

TEST(IniRead, NulAndOverlongLinesAreNeverParsed) {
    const std::string longLine = "big=" + std::string(70 * 1024, 'x');
    const std::string text =
        "[s]\nn\0ul=1\n"s + longLine + "\n[fake" + std::string(70000, ']') + "\nk=2\n";
    EXPECT_EQ(keyNames(text, "s"), (std::vector<std::string>{"k"}));
    EXPECT_EQ(readValue(text, "s", "big"), std::nullopt);
    EXPECT_EQ(sectionNames(text), (std::vector<std::string>{"s"}));
}

TEST(IniNames, JoinedWithNulWholeNamesWithinTheBuffer) {
    const std::vector<std::string> names{"ab", "cde", "f"};
    EXPECT_EQ(joinNames(names, 8192), "ab\0cde\0f\0"s);
    EXPECT_EQ(joinNames(names, 10), "ab\0cde\0f\0"s); // 9 characters plus the terminator
    EXPECT_EQ(joinNames(names, 9), "ab\0cde\0"s);
    EXPECT_EQ(joinNames({}, 8192), "");
    EXPECT_EQ(splitNames("ab\0cde\0f\0"s), names);
    EXPECT_EQ(splitNames("ab\0tail"s), (std::vector<std::string>{"ab"}));
    EXPECT_TRUE(splitNames("FAIL").empty());
}

TEST(IniWrite, ReplacesOnlyTheKeysValueKeepingEveryOtherByte) {
    const std::string text = "; head\r\n\r\n[OPTIONS]\r\n  ShowAN = True\r\nx=1\r\n"
                             "junk line\r\n\r\n[Other]\r\ny=2";
    EXPECT_EQ(writeValue(text, "options", "showan", "False"),
              "; head\r\n\r\n[OPTIONS]\r\n  ShowAN =False\r\nx=1\r\n"
              "junk line\r\n\r\n[Other]\r\ny=2");
    EXPECT_EQ(writeValue(text, "Other", "y", "3"),
              "; head\r\n\r\n[OPTIONS]\r\n  ShowAN = True\r\nx=1\r\n"
              "junk line\r\n\r\n[Other]\r\ny=3");
}

TEST(IniWrite, NewKeyGoesAfterTheLastKeyOfItsSection) {
    EXPECT_EQ(writeValue("[a]\nk=1\n\n[b]\n", "a", "n", "2"), "[a]\nk=1\nn=2\n\n[b]\n");
    EXPECT_EQ(writeValue("[a]\r\n; c\r\n[b]\r\n", "A", "n", "2"), "[a]\r\nn=2\r\n; c\r\n[b]\r\n");
    EXPECT_EQ(writeValue("[a]", "a", "n", "2"), "[a]\nn=2\n");
    EXPECT_EQ(writeValue("[a]\nk=1", "a", "n", "2"), "[a]\nk=1\nn=2\n");
}

TEST(IniWrite, NewSectionGoesAtTheEndInTheFilesLineEnding) {
    EXPECT_EQ(writeValue("", "PORTS", "COM1", "/dev/x"), "[PORTS]\nCOM1=/dev/x\n");
    EXPECT_EQ(writeValue("[a]\r\nk=1", "b", "n", "2"), "[a]\r\nk=1\r\n[b]\r\nn=2\r\n");
    EXPECT_EQ(writeValue("[a]\nk=1\n", " b ", " n ", " 2 "), "[a]\nk=1\n[b]\nn= 2 \n");
}

TEST(IniWrite, LineBreaksAndNulNeverLeaveTheirLine) {
    const auto out = writeValue("[s]\nk=1\nother=2\n", "s", "k", "a\r\n[evil]\nb\0c"s);
    EXPECT_EQ(out, "[s]\nk=a[evil]bc\nother=2\n");
    EXPECT_EQ(writeValue("", "s\r\n", "k\n2", "v"), "[s]\nk2=v\n");
    EXPECT_EQ(readValue(*writeValue("", "s", "k\r\nx", "v"), "s", "k\nx"), "v");
}

TEST(IniWrite, RefusesNamesThatWouldNotReadBack) {
    for (const char* key : {"", "  ", "a=b", "[x]", "x]", ";c", "\r\n"}) {
        EXPECT_EQ(writeValue("[s]\n", "s", key, "v"), std::nullopt) << key;
        EXPECT_EQ(deleteKey("[s]\n", "s", key), std::nullopt) << key;
    }
    EXPECT_EQ(writeValue("", "", "k", "v"), std::nullopt);
    EXPECT_EQ(writeValue("", "\r\n", "k", "v"), std::nullopt);
    EXPECT_EQ(deleteSection("[s]\n", " "), std::nullopt);
    EXPECT_EQ(writeValue("", "s", "[x", "v"), "[s]\n[x=v\n"); // no "]": still a key
    EXPECT_EQ(readValue("[s]\n[x=v\n", "s", "[x"), "v");
}

TEST(IniWrite, ForeignLinesSurviveAndAreNeverMatched) {
    const std::string longLine = "k=" + std::string(70 * 1024, 'x');
    const std::string text = "[s]\n" + longLine + "\nn\0l=1\n"s;
    const auto out = writeValue(text, "s", "k", "new");
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, "[s]\nk=new\n" + longLine + "\nn\0l=1\n"s);
    EXPECT_EQ(*deleteKey(*out, "s", "k"), text);
}

TEST(IniDelete, KeyRemovesEveryLineOfItInTheSection) {
    const std::string text = "[s]\nk=1\n; keep\nK = 2\nz=3\n[t]\nk=4\n";
    EXPECT_EQ(deleteKey(text, "S", "k"), "[s]\n; keep\nz=3\n[t]\nk=4\n");
    EXPECT_EQ(deleteKey(text, "s", "missing"), text);
    EXPECT_EQ(deleteKey(text, "none", "k"), text);
}

TEST(IniDelete, SectionRemovesHeaderAndBodyOfEveryCopy) {
    const std::string text = "\xEF\xBB\xBF[s]\r\nk=1\r\n\r\n[t]\r\nx=1\r\n[S]\r\nq=2";
    EXPECT_EQ(deleteSection(text, "s"), "\xEF\xBB\xBF[t]\r\nx=1\r\n");
    EXPECT_EQ(deleteSection(text, "t"), "\xEF\xBB\xBF[s]\r\nk=1\r\n\r\n[S]\r\nq=2");
    EXPECT_EQ(deleteSection(text, "none"), text);
}

} // namespace
} // namespace tracely::ini
