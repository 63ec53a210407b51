#include "src/settings/c_inifile.h"
#include "src/settings/ini_storage.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace tracely {
namespace {

using Names = std::vector<std::string>;

class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() { at("s", "k").setPath(dir.file("TRACELY.INI")); }

    cInifile& at(const std::string& section, const std::string& key) {
        ini.setSection(section);
        ini.setKey(key);
        return ini;
    }
    void put(const std::string& bytes) { test::writeFile(ini.Path(), bytes); }
    std::string contents() const { return test::readFile(ini.Path()); }
    struct stat info() const {
        struct stat st {};
        ::stat(ini.Path().c_str(), &st);
        return st;
    }
    // Entries in the folder: a leftover temporary file would show here.
    long entries() const { return std::distance(fs::directory_iterator(dir.path()), {}); }
    Names enumerate(bool sections) const {
        Names names{"stale"};
        std::int32_t count = -1;
        sections ? ini.EnumerateAllSections(names, count)
                 : ini.EnumerateCurrentSection(names, count);
        EXPECT_EQ(count, static_cast<std::int32_t>(names.size()));
        return names;
    }

    test::TempFolder dir;
    cInifile ini;
};

TEST_F(IniFileTest, MissingReadsAsDefaultAndAWriteCreatesTheFileIgnoringCase) {
    EXPECT_EQ(ini.Value(), ""); // no file and no Default
    ini.setDefault("FAIL");
    EXPECT_EQ(ini.Value(), "FAIL");
    at("PORTS", "COM1").setValue("/tmp/x");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(contents(), "[PORTS]\nCOM1=/tmp/x\n");
    EXPECT_EQ(at("ports", "com1").Value(), "/tmp/x");
    ini.setValue("/dev/ttyUSB0");
    EXPECT_EQ(contents(), "[PORTS]\nCOM1=/dev/ttyUSB0\n");
    EXPECT_EQ(at("PORTS", "COM2").Value(), "FAIL");
    EXPECT_EQ(at("s", "COM1").Value(), "FAIL");
}

TEST_F(IniFileTest, ValuesAreCutOnReadAndStayOnTheirLine) {
    const std::string value(300, 'v');
    ini.setValue(value);
    EXPECT_EQ(contents(), "[s]\nk=" + value + "\n"); // stored whole
    EXPECT_EQ(ini.Value(), value.substr(0, 254));
    ini.setValue("a\0b"s);
    EXPECT_EQ(ini.Value(), "ab");
    ini.setValue("x\r\n[t]\nq=1");
    at("s", "j\r\nz").setValue("2");
    EXPECT_EQ(contents(), "[s]\nk=x[t]q=1\njz=2\n");
}

TEST_F(IniFileTest, SuccessFollowsWritesNotReads) {
    at("s", "bad=key").setValue("v");
    EXPECT_FALSE(ini.Success());
    EXPECT_FALSE(fs::exists(ini.Path()));
    at("s", "k").setValue("v");
    EXPECT_EQ(ini.LastReturnCode(), 1);
    (void)(ini.Value() + ini.INISection() + ini.Sections());
    EXPECT_TRUE(ini.Success());
    at("s", "a]b").setValue("v");
    EXPECT_EQ(at("s", "k").Value(), "v");
    EXPECT_FALSE(ini.Success());
}

TEST_F(IniFileTest, EnumerationsInFileOrderAndEmptyWhenThereIsNothing) {
    ini.setDefault("FAIL");
    EXPECT_TRUE(enumerate(true).empty()); // no file
    EXPECT_TRUE(enumerate(false).empty());
    EXPECT_EQ(ini.INISection(), "FAIL"); // no keys: the default, as the platform gives
    put("");
    EXPECT_TRUE(enumerate(true).empty());
    put("[Zeta]\nb=1\nA=2\n; note\nc=3\n[alpha]\nx=1\n");
    EXPECT_EQ(enumerate(true), (Names{"Zeta", "alpha"}));
    EXPECT_EQ(ini.Sections(), "Zeta\0alpha\0"s);
    ini.setSection("ZETA");
    EXPECT_EQ(enumerate(false), (Names{"b", "A", "c"}));
    EXPECT_EQ(ini.INISection(), "b\0A\0c\0"s);
}

TEST_F(IniFileTest, DeletesRemoveEveryLineOfTheKeyOrSection) {
    put("\xEF\xBB\xBF[a]\nk=1\n; keep\nK = 2\nj=2\n[b]\nk=3\n[A]\nk=4\n");
    at("A", "K").DeleteKey();
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(contents(), "\xEF\xBB\xBF[a]\n; keep\nj=2\n[b]\nk=3\n[A]\nk=4\n");
    ini.DeleteSection(); // every copy; the byte-order mark stays with the file
    EXPECT_EQ(contents(), "\xEF\xBB\xBF[b]\nk=3\n");
    at("b", "k").setINISection("whatever text");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(contents(), "\xEF\xBB\xBF");
    fs::remove(ini.Path());
    ini.DeleteKey(); // nothing to delete: done, and no file appears
    EXPECT_TRUE(ini.Success());
    EXPECT_FALSE(fs::exists(ini.Path()));
}

TEST_F(IniFileTest, ReplacesTheLinkedFileAtomicallyKeepingPermissions) {
    const std::string real = dir.file("real.ini");
    test::writeFile(real, "[s]\nk=1\n");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    fs::create_symlink(real, ini.Path());
    const ino_t before = info().st_ino;
    ini.setValue("2");
    EXPECT_NE(info().st_ino, before); // a new file was renamed into place
    EXPECT_EQ(info().st_mode & 07777, 0640u);
    EXPECT_TRUE(fs::is_symlink(ini.Path()));
    EXPECT_EQ(entries(), 2);
    EXPECT_EQ(test::readFile(real), "[s]\nk=2\n");
}

TEST_F(IniFileTest, AFailedWriteReturnsZeroAndLeavesTheFile) {
    const std::string path = ini.Path();
    ini.setPath(dir.file("no/such/folder/TRACELY.INI"));
    ini.setValue("v");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    ini.setPath(path);

    put("[s]\nk=1\n");
    ASSERT_EQ(::chmod(ini.Path().c_str(), 0444), 0); // respected even by root
    ini.setValue("2");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    ASSERT_EQ(::chmod(ini.Path().c_str(), 0644), 0);

    // A file-size limit makes the write of the temporary file fail part-way, even for root.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ini.setValue(std::string(1000, 'x'));
    const int code = ini.LastReturnCode();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(contents(), "[s]\nk=1\n");
    EXPECT_EQ(entries(), 1);
}

TEST_F(IniFileTest, OversizedFilesAndNonFilesAreLeftAlone) {
    std::string big = "[s]\nk=1\n";
    big.resize(ini::kMaxFileSize + 1, '\n');
    put(big);
    const ino_t before = info().st_ino;
    ini.setDefault("dflt");
    EXPECT_EQ(ini.Value(), "dflt");
    ini.setValue("2");
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(info().st_ino, before);

    // A FIFO with no writer would block an ordinary open; the read must not hang.
    ini.setPath(dir.file("fifo.ini"));
    ASSERT_EQ(::mkfifo(ini.Path().c_str(), 0600), 0);
    EXPECT_EQ(ini.Value(), "dflt");
    ini.setValue("v");
    EXPECT_FALSE(ini.Success());
}

TEST_F(IniFileTest, WhatIsAtAPathAndWhetherASaveCanReplaceIt) {
    const std::string file = dir.file("file.ini");
    test::writeFile(file, "[s]\n");
    const std::string big = dir.file("big.ini");
    test::writeFile(big, "");
    fs::resize_file(big, ini::kMaxFileSize + 1);
    const std::string fifo = dir.file("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string readOnly = dir.file("ro.ini");
    test::writeFile(readOnly, "");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string dangling = dir.file("link.ini");
    fs::create_symlink(dir.file("nowhere"), dangling);
    // clang-format off
    const struct { std::string path; ini::PathKind kind; bool replaceable; } cases[] = {
        {dir.file("missing.ini"), ini::PathKind::Missing, true},
        {dir.file("no/folder.ini"), ini::PathKind::Missing, false},
        {file, ini::PathKind::File, true},
        {readOnly, ini::PathKind::File, false}, // a file with no write bit, even for root
        {big, ini::PathKind::TooLarge, true},
        {dir.path().string(), ini::PathKind::Directory, false},
        {fifo, ini::PathKind::Fifo, false},
        {"/dev/null", ini::PathKind::Other, false},
        {dangling, ini::PathKind::Other, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(ini::probe(c.path), c.kind) << c.path;
        EXPECT_EQ(ini::canReplace(c.path), c.replaceable) << c.path;
    }
}

TEST_F(IniFileTest, TemporaryFilesOfKilledSavesGoThoseInUseStay) {
    put("[s]\nk=1\n");
    const std::string stale = dir.file(".TRACELY.INI.tmp123-4-0");
    const std::string busy = dir.file(".TRACELY.INI.tmp999-4-0");
    const std::string other = dir.file(".OTHER.INI.tmp123-4-0");
    for (const std::string& f : {stale, busy, other}) {
        test::writeFile(f, "[s]\nk=");
    }
    const int held = ::open(busy.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0); // as a save still running holds it
    EXPECT_EQ(ini::removeStaleTemporaries(ini.Path()), 1);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(busy));
    EXPECT_TRUE(fs::exists(other));
    ::close(held);
    EXPECT_EQ(ini::removeStaleTemporaries(ini.Path()), 1);
    EXPECT_FALSE(fs::exists(busy));
    EXPECT_EQ(contents(), "[s]\nk=1\n");
}

TEST(CLngDefault, ConvertsLikeCLngAndFallsBackOnAnyError) {
    // clang-format off
    const struct { std::string text; std::int32_t want; } cases[] = {
        // Blanks, signs, and what is not a number (the fallback is -9).
        {"12", 12}, {"abc", -9}, {"", -9}, {"2.5", 2}, {" 7 ", 7}, {"\t-7\t", -7}, {"+3", 3}, {"   ", -9}, {"12abc", -9}, {"1 2", -9},
        {"-", -9}, {".", -9}, {"1.2.3", -9}, {"--1", -9},
        // The 32-bit range, however many digits.
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", -9},
        {"-2147483649", -9}, {std::string(5000, '9'), -9}, {"0000000000000000000000042", 42},
        // Hexadecimal as a 32-bit pattern.
        {"&H10", 16}, {"&hff", 255}, {"&HFFFFFFFF", -1}, {"&H100000000", -9}, {"&H", -9},
        // Halves to even, also at the ends of the range.
        {"3.5", 4}, {"-2.5", -2}, {"0.5", 0}, {".5", 0}, {"5.", 5}, {"2.51", 3},
        {"2.4999999", 2}, {"2147483647.4", INT_MAX}, {"2147483647.5", -9},
        {"-2147483648.5", INT_MIN}, {"-2147483648.6", -9},
        // Exponents.
        {"1e3", 1000}, {"2.5E1", 25}, {"25e-1", 2}, {"35E-1", 4}, {"1e+2", 100}, {"1e10", -9},
        {"1e", -9}, {"e3", -9}, {"1e-999999999999", 0}, {"1e999999999999", -9},
        {"0e999999999", 0}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(cInifile::CLngDefault(c.text, -9), c.want) << '"' << c.text << '"';
    }
}

} // namespace
} // namespace tracely
