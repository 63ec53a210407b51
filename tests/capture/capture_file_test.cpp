#include "src/capture/capture_csv.h"
#include "src/capture/capture_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace tracely;
namespace cf = tracely::capture_file;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

CaptureRecord sample(int rows = 40) {
    CaptureRecord r;
    for (int i = 0; i < rows; ++i) {
        r.samples.push_back(
            {static_cast<std::uint8_t>(128 + (i % 10) * 5), static_cast<std::uint8_t>(i)});
    }
    r.image[5] = 144;
    r.image[14] = 255;
    r.sent = {144, 111, 0x23, 3};
    r.timeRange = 19;
    r.sampleRate = "10KSa/s";
    r.sampleClock = "25MHz";
    r.baud = 115200;
    r.timeAdj = 1e-4f;
    r.timeScale = 1000;
    r.timeBase = 2;
    r.trigRow = 7;
    r.chaLen = 30;
    r.logicLen = 30;
    r.a = {true, 1, false, true, -1.25f, 3, 0.028784312f, 2.0f};
    r.b = {false, 3, true, false, 0.0f, 1, 0.047058824f, 0.1f};
    r.triggerMode = TriggerMode::Rising;
    r.triggerLevel = 144;
    r.triggerWord = "1X0XXXXX";
    r.firmware = "BC000120";
    r.takenAt = "2026-12-07T06:30:00Z";
    return r;
}

// A file whose description is replaced, with its checksums made right again.
std::string withMeta(const std::string& meta) {
    std::string out(cf::kMagic);
    out += '\x01';
    out += '\x00';
    const auto chunk = [&out](std::string_view tag, const std::string& payload) {
        const std::size_t start = out.size();
        out += tag;
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((payload.size() >> (8 * i)) & 0xFF);
        }
        out += payload;
        const std::uint32_t crc = cf::crc32(std::string_view(out).substr(start));
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((crc >> (8 * i)) & 0xFF);
        }
    };
    chunk("META", meta);
    chunk("SMPL", std::string("\x80\x01\x81\x02", 4));
    chunk("END ", "");
    return out;
}

std::string metaOf(const CaptureRecord& r) {
    // The description part of a written file, found by its name.
    const std::string file = cf::write(r);
    const std::size_t at = file.find("META") + 4;
    const std::size_t len =
        static_cast<unsigned char>(file[at]) | (static_cast<unsigned char>(file[at + 1]) << 8);
    return file.substr(at + 4, len);
}

std::string replaceLine(std::string meta, const std::string& key, const std::string& line) {
    const std::size_t at = meta.find(key + "=");
    const std::size_t end = meta.find('\n', at);
    return meta.replace(at, end - at + 1, line);
}

} // namespace

TEST(CaptureFile, WhatIsWrittenReadsBackTheSame) {
    const CaptureRecord r = sample();
    const cf::ReadResult back = cf::read(cf::write(r));
    ASSERT_EQ(back.records.size(), 1u) << back.message;
    EXPECT_EQ(back.records.front(), r);
    // A recording: captures one after another, the end mark after the last.
    CaptureRecord second = sample(12);
    second.trigRow = -3;
    const cf::ReadResult both =
        cf::read(cf::header() + cf::captureParts(r) + cf::captureParts(second) + cf::endMark());
    ASSERT_EQ(both.records.size(), 2u) << both.message;
    EXPECT_EQ(both.records[1], second);
    EXPECT_EQ(cf::endMark().size(), cf::kEndBytes);
    EXPECT_EQ(cf::crc32("123456789"), 0xCBF43926u); // the standard check value
}

TEST(CaptureFile, EveryTruncationAndEveryBitFlipIsAnErrorNeverARecord) {
    const std::string good = cf::write(sample(8));
    for (std::size_t n = 0; n < good.size(); ++n) {
        const cf::ReadResult r = cf::read(std::string_view(good).substr(0, n));
        EXPECT_TRUE(r.records.empty()) << "cut to " << n;
        EXPECT_FALSE(r.message.empty());
    }
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string bad = good;
            bad[i] = static_cast<char>(bad[i] ^ (1 << bit));
            const cf::ReadResult r = cf::read(bad);
            EXPECT_TRUE(r.records.empty()) << "byte " << i << " bit " << bit;
            EXPECT_FALSE(r.message.empty());
        }
    }
}

TEST(CaptureFile, ForeignAndDamagedFilesSayWhatIsWrong) {
    const std::string good = cf::write(sample());
    std::string newer = good;
    newer[cf::kMagic.size()] = 2;
    struct Case {
        const char* name;
        std::string bytes;
        cf::Error error;
        const char* says;
    };
    const Case cases[] = {
        {"empty", "", cf::Error::NotACaptureFile, "not a Tracely capture"},
        {"text", "time_s,volts\r\n0,1\r\n", cf::Error::NotACaptureFile, "not a Tracely capture"},
        {"png", "\x89PNG\r\n\x1a\n", cf::Error::NotACaptureFile, "not a Tracely capture"},
        {"newer", newer, cf::Error::NewerVersion, "format 2"},
        {"trailing", good + "x", cf::Error::Damaged, "after its end"},
        {"too large", std::string(cf::kMaxBytes + 1, 'x'), cf::Error::TooLarge, "too large"},
        {"samples alone", good.substr(0, good.find("META")) + good.substr(good.find("SMPL") - 0),
         cf::Error::BadContent, "without a description"},
        {"out of range", withMeta(replaceLine(metaOf(sample()), "cha.level", "cha.level=9\n")),
         cf::Error::BadContent, "'cha.level' has an impossible value '9'"},
        {"not a number", withMeta(replaceLine(metaOf(sample()), "timeadj", "timeadj=fast\n")),
         cf::Error::BadContent, "'timeadj'"},
        {"infinite", withMeta(replaceLine(metaOf(sample()), "cha.adj", "cha.adj=inf\n")),
         cf::Error::BadContent, "'cha.adj'"},
        {"missing", withMeta(replaceLine(metaOf(sample()), "baud", "")), cf::Error::BadContent,
         "'baud' is missing"},
        {"twice", withMeta(metaOf(sample()) + "baud=57600\n"), cf::Error::BadContent,
         "given twice"},
        {"control character",
         withMeta(replaceLine(metaOf(sample()), "firmware", "firmware=a\tb\n")),
         cf::Error::BadContent, "'firmware'"},
        {"bad word", withMeta(replaceLine(metaOf(sample()), "trigger.word", "trigger.word=10\n")),
         cf::Error::BadContent, "'trigger.word'"},
        {"unfinished line", withMeta("baud=1"), cf::Error::BadContent, "not finished"},
    };
    for (const Case& c : cases) {
        const cf::ReadResult r = cf::read(c.bytes);
        EXPECT_TRUE(r.records.empty()) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name << ": " << r.message;
        EXPECT_NE(r.message.find(c.says), std::string::npos) << c.name << ": " << r.message;
    }
    // A changed description with its checksum made right, and nothing wrong in it, reads.
    EXPECT_EQ(cf::read(withMeta(metaOf(sample()))).records.size(), 1u);
}

TEST(CaptureFile, TheFuzzHarnessAcceptsItsSeedsAndTheirMutations) {
    const std::filesystem::path corpus =
        std::filesystem::path(TRACELY_SOURCE_DIR) / "tests/fuzz/corpus/capture_file";
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string bytes = ss.str();
        ++seeds;
        for (std::size_t i = 0; i <= bytes.size(); i += 7) {
            std::string cut = bytes.substr(0, i);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(cut.data()), cut.size());
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    EXPECT_GE(seeds, 3);
}

TEST(CaptureCsv, HeaderThenOneRowPerPoint) {
    CaptureRecord r = sample();
    r.firmware = "BC,\"x\"";
    CapturePoints p;
    p.cha = {0.5f, -0.25f, 0.0f};
    p.logic = std::vector<LogicPoint>(3);
    p.logic[1][0] = 1;
    p.logic[2][7] = 1;
    p.trigIndex = 2;
    const std::string csv = captureCsv(r, p);
    EXPECT_NE(csv.find("Firmware,\"BC,\"\"x\"\"\"\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("Seconds per division,0.001\r\n"), std::string::npos);
    EXPECT_NE(csv.find("Volts per division,0.5\r\n"), std::string::npos);
    EXPECT_NE(csv.find("Trigger mode,rising edge\r\n"), std::string::npos);
    const std::string rows = "\r\ntime_s,volts,D0,D1,D2,D3,D4,D5,D6,D7\r\n"
                             "-0.0001,0.5,0,0,0,0,0,0,0,0\r\n"
                             "0,-0.25,1,0,0,0,0,0,0,0\r\n"
                             "0.0001,0,0,0,0,0,0,0,0,1\r\n";
    ASSERT_GE(csv.size(), rows.size());
    EXPECT_EQ(csv.substr(csv.size() - rows.size()), rows);
    // No analog channel: the volts cells stay empty.
    r.a.enabled = false;
    EXPECT_NE(captureCsv(r, p).find("\r\n0,,1,0,0,0,0,0,0,0\r\n"), std::string::npos);
}
