#include "src/settings/inifile.h"

#include "tests/settings/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace tracely {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() { ini.setPath(dir.file("TRACELY.INI")); }

    void put(const std::string& bytes) { test::writeFile(ini.Path(), bytes); }
    std::string contents() const { return test::readFile(ini.Path()); }

    test::TempDir dir;
    cInifile ini;
};

TEST_F(IniFileTest, StartsEmptyAndKeepsWhatIsSet) {
    cInifile fresh;
    EXPECT_EQ(fresh.Path(), "");
    EXPECT_EQ(fresh.Section(), "");
    EXPECT_EQ(fresh.Key(), "");
    EXPECT_EQ(fresh.Default(), "");
    EXPECT_EQ(fresh.LastReturnCode(), 0);
    EXPECT_FALSE(fresh.Success());
    fresh.setSection("S");
    fresh.setKey(" k ");
    fresh.setDefault("d");
    EXPECT_EQ(fresh.Section(), "S");
    EXPECT_EQ(fresh.Key(), " k ");
    EXPECT_EQ(fresh.Default(), "d");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsAsDefault) {
    ini.setSection("OPTIONS");
    ini.setKey("ShowAN");
    EXPECT_EQ(ini.Value(), "");
    ini.setDefault("FAIL");
    EXPECT_EQ(ini.Value(), "FAIL");

    put("[OPTIONS]\nShowAN=True\n");
    EXPECT_EQ(ini.Value(), "True");
    ini.setKey("ShowLA");
    EXPECT_EQ(ini.Value(), "FAIL");
    ini.setSection("SETTINGS");
    EXPECT_EQ(ini.Value(), "FAIL");
    ini.setDefault(std::string(300, 'd'));
    EXPECT_EQ(ini.Value(), std::string(254, 'd'));
}

TEST_F(IniFileTest, WriteCreatesFileAndReadsBackIgnoringCase) {
    ini.setSection("PORTS");
    ini.setKey("COM1");
    ini.setValue("/tmp/x");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(ini.LastReturnCode(), 1);
    EXPECT_EQ(contents(), "[PORTS]\nCOM1=/tmp/x\n");
    ini.setSection("ports");
    ini.setKey("com1");
    EXPECT_EQ(ini.Value(), "/tmp/x");
    ini.setValue("/dev/ttyUSB0");
    EXPECT_EQ(contents(), "[PORTS]\nCOM1=/dev/ttyUSB0\n");
}

TEST_F(IniFileTest, LongValuesReadBackCutTo254) {
    ini.setSection("s");
    ini.setKey("k");
    const std::string value(300, 'v');
    ini.setValue(value);
    EXPECT_EQ(contents(), "[s]\nk=" + value + "\n"); // stored whole
    EXPECT_EQ(ini.Value(), value.substr(0, 254));
    ini.setValue(value.substr(0, 254));
    EXPECT_EQ(ini.Value().size(), 254u);
}

TEST_F(IniFileTest, NulCrAndLfAreRemovedFromValues) {
    ini.setSection("s");
    ini.setKey("k");
    ini.setValue("a\0b"s);
    EXPECT_EQ(ini.Value(), "ab");
    ini.setValue("\0\0x\r\ny\0"s);
    EXPECT_EQ(ini.Value(), "xy");
    ini.setValue("line1\n[other]\nq=1");
    EXPECT_EQ(contents(), "[s]\nk=line1[other]q=1\n");
    ini.setKey("q");
    EXPECT_EQ(ini.Value(), "");
}

TEST_F(IniFileTest, ReadsNeverChangeTheReturnCode) {
    ini.setSection("s");
    ini.setKey("bad=key");
    ini.setValue("v");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_FALSE(ini.Success());
    EXPECT_FALSE(std::filesystem::exists(ini.Path()));
    ini.setKey("k");
    ini.setValue("v");
    EXPECT_TRUE(ini.Success());
    (void)ini.Value();
    (void)ini.INISection();
    (void)ini.Sections();
    EXPECT_TRUE(ini.Success());
    ini.setKey("a]b");
    ini.setValue("v");
    EXPECT_FALSE(ini.Success());
    ini.setKey("k");
    EXPECT_EQ(ini.Value(), "v");
    EXPECT_FALSE(ini.Success());
}

TEST_F(IniFileTest, WritesWithoutPathOrSectionFail) {
    cInifile noPath;
    noPath.setSection("s");
    noPath.setKey("k");
    noPath.setValue("v");
    EXPECT_FALSE(noPath.Success());
    noPath.setDefault("d");
    EXPECT_EQ(noPath.Value(), "d");

    ini.setKey("k");
    ini.setValue("v");
    EXPECT_FALSE(ini.Success());
    EXPECT_FALSE(std::filesystem::exists(ini.Path()));
}

TEST_F(IniFileTest, EnumerationsInFileOrder) {
    put("[Zeta]\nb=1\nA=2\n; note\nc=3\n[alpha]\nx=1\n");
    std::vector<std::string> names{"stale"};
    std::int32_t count = -1;
    ini.EnumerateAllSections(names, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "alpha"}));
    EXPECT_EQ(ini.Sections(), "Zeta\0alpha\0"s);

    ini.setSection("ZETA");
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(names, (std::vector<std::string>{"b", "A", "c"}));
    EXPECT_EQ(ini.INISection(), "b\0A\0c\0"s);
}

TEST_F(IniFileTest, EnumerationsOfMissingOrEmptyAreEmpty) {
    std::vector<std::string> names{"stale"};
    std::int32_t count = -1;
    ini.setDefault("FAIL");
    ini.EnumerateAllSections(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    ini.setSection("s");
    names = {"stale"};
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(ini.Sections(), "");
    EXPECT_EQ(ini.INISection(), "FAIL"); // no keys: the default, as the platform gives

    put("");
    ini.EnumerateAllSections(names, count);
    EXPECT_EQ(count, 0);
    put("[s]\n; only a comment\n");
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
}

TEST_F(IniFileTest, ListsStopAtTheBufferWithWholeNames) {
    std::string text = "[s]\n";
    for (int i = 0; i < 1000; ++i) {
        text += "key_number_" + std::to_string(100000 + i) + "=1\n"; // 17 characters each
    }
    put(text);
    ini.setSection("s");
    const std::string list = ini.INISection();
    EXPECT_LE(list.size(), 8191u);
    EXPECT_EQ(list.size() % 18, 0u);
    EXPECT_EQ(list.back(), '\0');
    std::vector<std::string> names;
    std::int32_t count = 0;
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 8191 / 18);
    EXPECT_EQ(names.back(), "key_number_" + std::to_string(100000 + count - 1));
}

TEST_F(IniFileTest, DeleteKeyAndSection) {
    put("[a]\nk=1\nj=2\n[b]\nk=3\n");
    ini.setSection("A");
    ini.setKey("K");
    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(contents(), "[a]\nj=2\n[b]\nk=3\n");
    ini.DeleteKey(); // already gone: nothing to do, still a success
    EXPECT_TRUE(ini.Success());
    ini.DeleteSection();
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(contents(), "[b]\nk=3\n");
    ini.setSection("b");
    ini.setINISection("whatever text");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(contents(), "");
}

TEST_F(IniFileTest, DeletingFromAMissingFileDoesNotCreateIt) {
    ini.setSection("s");
    ini.setKey("k");
    ini.DeleteKey();
    ini.DeleteSection();
    EXPECT_TRUE(ini.Success());
    EXPECT_FALSE(std::filesystem::exists(ini.Path()));
}

} // namespace
} // namespace tracely
