#include "src/settings/ini_file.h"
#include "src/settings/inifile.h"

#include "tests/settings/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace tracely {
namespace {

class IniFilesTest : public ::testing::Test {
protected:
    IniFilesTest() {
        ini.setPath(dir.file("TRACELY.INI"));
        ini.setSection("s");
        ini.setKey("k");
    }

    void put(const std::string& bytes) { test::writeFile(ini.Path(), bytes); }
    std::string contents() const { return test::readFile(ini.Path()); }
    struct stat info() const {
        struct stat st {};
        ::stat(ini.Path().c_str(), &st);
        return st;
    }
    // Everything in the folder: a leftover temporary file would show here.
    std::vector<std::string> folder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    test::TempDir dir;
    cInifile ini;
};

TEST_F(IniFilesTest, AWriteKeepsEveryOtherByteOfTheFile) {
    const std::string before = "; Tracely settings\r\n\r\n[PORTS]\r\nCOM1 = /dev/ttyUSB0\r\n"
                               "# not ours\r\n[s]\r\n\tk = old ; value\r\nz=1\r\n\r\n"
                               "[OPTIONS]\r\nShowAN=True";
    put(before);
    ini.setValue("new");
    ASSERT_TRUE(ini.Success());
    std::string expected = before;
    expected.replace(expected.find("= old ; value"), 13, "=new");
    EXPECT_EQ(contents(), expected);
    ini.setKey("added");
    ini.setValue("1");
    expected.insert(expected.find("z=1\r\n") + 5, "added=1\r\n");
    EXPECT_EQ(contents(), expected);
    ini.setSection("PORTS");
    ini.setKey("COM1");
    EXPECT_EQ(ini.Value(), "/dev/ttyUSB0");
}

TEST_F(IniFilesTest, ReplacesTheFileAtomicallyKeepingPermissions) {
    put("[s]\nk=1\n");
    ASSERT_EQ(::chmod(ini.Path().c_str(), 0640), 0);
    const struct stat before = info();
    ini.setValue("2");
    ASSERT_TRUE(ini.Success());
    const struct stat after = info();
    EXPECT_NE(before.st_ino, after.st_ino); // a new file was renamed into place
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(folder(), (std::vector<std::string>{"TRACELY.INI"}));
    EXPECT_EQ(contents(), "[s]\nk=2\n");
}

TEST_F(IniFilesTest, ASymbolicLinkStaysALink) {
    const std::string real = dir.file("real.ini");
    test::writeFile(real, "[s]\nk=1\n");
    fs::create_symlink(real, ini.Path());
    ini.setValue("2");
    ASSERT_TRUE(ini.Success());
    EXPECT_TRUE(fs::is_symlink(ini.Path()));
    EXPECT_EQ(test::readFile(real), "[s]\nk=2\n");
}

TEST_F(IniFilesTest, AFailedWriteLeavesTheOldFile) {
    cInifile elsewhere;
    elsewhere.setPath(dir.file("no/such/folder/TRACELY.INI"));
    elsewhere.setSection("s");
    elsewhere.setKey("k");
    elsewhere.setValue("v");
    EXPECT_FALSE(elsewhere.Success());

    // A read-only file is respected, whoever runs the program.
    put("[s]\nk=1\n");
    ASSERT_EQ(::chmod(ini.Path().c_str(), 0444), 0);
    ini.setValue("2");
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(contents(), "[s]\nk=1\n");
    EXPECT_EQ(folder(), (std::vector<std::string>{"TRACELY.INI"}));
}

TEST_F(IniFilesTest, AWriteThatRunsOutOfSpaceLeavesTheOldFile) {
    put("[s]\nk=1\n");
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
    EXPECT_EQ(folder(), (std::vector<std::string>{"TRACELY.INI"}));
}

TEST_F(IniFilesTest, AReadOnlyFolderFailsTheWrite) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    put("[s]\nk=1\n");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    ini.setValue("2");
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(contents(), "[s]\nk=1\n");
}

TEST_F(IniFilesTest, RandomBinaryIsReadAsNothingAndKeptOnWrite) {
    std::mt19937 rng(1234);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(rng() & 0xFF);
    }
    put(garbage);
    ini.setDefault("dflt");
    EXPECT_EQ(ini.Value(), "dflt");
    std::vector<std::string> names;
    std::int32_t count = 0;
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 0);
    ini.EnumerateAllSections(names, count); // whatever it finds, it must finish
    EXPECT_LE(ini.Sections().size(), 8191u);

    ini.setSection("TracelyTest");
    ini.setValue("v");
    ASSERT_TRUE(ini.Success());
    const std::string after = contents();
    EXPECT_EQ(after.substr(0, garbage.size()), garbage);
    EXPECT_EQ(ini.Value(), "v");
}

TEST_F(IniFilesTest, AHugeLineIsForeignAndKept) {
    const std::string huge = "k=" + std::string(10 * 1024 * 1024, 'x');
    put("[s]\n" + huge + "\n");
    EXPECT_EQ(ini.Value(), "");
    ini.setValue("v");
    ASSERT_TRUE(ini.Success());
    EXPECT_EQ(contents(), "[s]\nk=v\n" + huge + "\n");
    EXPECT_EQ(ini.Value(), "v");
}

TEST_F(IniFilesTest, LinesWithNulBytesAreSkipped) {
    put("[s]\nk=1\0\nj=2\n"s);
    EXPECT_EQ(ini.Value(), "");
    ini.setKey("j");
    EXPECT_EQ(ini.Value(), "2");
    ini.setValue("3");
    EXPECT_EQ(contents(), "[s]\nk=1\0\nj=3\n"s);
}

TEST_F(IniFilesTest, AnOversizedFileIsNeitherReadNorReplaced) {
    std::string big = "[s]\nk=1\n";
    big.resize(ini::kMaxFileSize + 1, '\n');
    put(big);
    const struct stat before = info();
    ini.setDefault("dflt");
    EXPECT_EQ(ini.Value(), "dflt");
    EXPECT_EQ(ini.Sections(), "");
    ini.setValue("2");
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(info().st_ino, before.st_ino);
    EXPECT_EQ(static_cast<std::size_t>(info().st_size), big.size());
}

TEST_F(IniFilesTest, SomethingOtherThanAFileAtThePath) {
    fs::create_directory(ini.Path());
    ini.setDefault("dflt");
    EXPECT_EQ(ini.Value(), "dflt");
    ini.setValue("v");
    EXPECT_FALSE(ini.Success());
    EXPECT_TRUE(fs::is_directory(ini.Path()));

    // A FIFO with no writer would block an ordinary open; the read must not hang.
    cInifile fifo;
    fifo.setPath(dir.file("fifo.ini"));
    ASSERT_EQ(::mkfifo(fifo.Path().c_str(), 0600), 0);
    fifo.setSection("s");
    fifo.setKey("k");
    fifo.setDefault("dflt");
    EXPECT_EQ(fifo.Value(), "dflt");
    fifo.setValue("v");
    EXPECT_FALSE(fifo.Success());
}

} // namespace
} // namespace tracely
