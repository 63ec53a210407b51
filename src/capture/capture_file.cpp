#include "src/capture/capture_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <map>

namespace tracely::capture_file {

namespace {

constexpr std::string_view kMeta = "META";
constexpr std::string_view kSamples = "SMPL";
constexpr std::string_view kEnd = "END ";
constexpr std::size_t kMaxText = 64;
// The registers the program programs; only these have image keys.
constexpr std::array<int, 12> kImageRegisters{3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 20};

void putU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
}

std::uint32_t getU32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

void putChunk(std::string& out, std::string_view tag, std::string_view payload) {
    const std::size_t start = out.size();
    out += tag;
    putU32(out, static_cast<std::uint32_t>(payload.size()));
    out += payload;
    putU32(out, crc32(std::string_view(out).substr(start)));
}

// Text values are one line of printable characters.
std::string clean(std::string_view text) {
    std::string s(text.substr(0, kMaxText));
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return s;
}

std::string single(float v) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return {buf.data(), r.ptr};
}

const char* modeText(TriggerMode m) {
    return m == TriggerMode::Rising ? "rising" : m == TriggerMode::Falling ? "falling" : "level";
}

void channelLines(std::string& out, const char* p, const CaptureChannel& c) {
    const std::string k(p);
    out += k + ".enabled=" + (c.enabled ? "1" : "0") + "\n";
    out += k + ".level=" + std::to_string(c.level) + "\n";
    out += k + ".x10=" + (c.x10 ? "1" : "0") + "\n";
    out += k + ".inverted=" + (c.inverted ? "1" : "0") + "\n";
    out += k + ".offset=" + single(c.offset) + "\n";
    out += k + ".range=" + std::to_string(c.range) + "\n";
    out += k + ".adj=" + single(c.adj) + "\n";
    out += k + ".scale=" + single(c.scale) + "\n";
}

std::string metaText(const CaptureRecord& r) {
    std::string m;
    const auto line = [&m](const std::string& key, const std::string& value) {
        m += key + "=" + value + "\n";
    };
    line("firmware", clean(r.firmware));
    line("taken", clean(r.takenAt));
    line("samplerate", clean(r.sampleRate));
    line("sampleclock", clean(r.sampleClock));
    line("baud", std::to_string(r.baud));
    line("timerange", std::to_string(r.timeRange));
    line("timeadj", single(r.timeAdj));
    line("timescale", std::to_string(r.timeScale));
    line("timebase", std::to_string(r.timeBase));
    line("trigrow", std::to_string(r.trigRow));
    line("chalen", std::to_string(r.chaLen));
    line("chblen", std::to_string(r.chbLen));
    line("logiclen", std::to_string(r.logicLen));
    for (int reg : kImageRegisters) {
        line("image.r" + std::to_string(reg),
             std::to_string(r.image[static_cast<std::size_t>(reg)]));
    }
    for (int i = 0; i < 4; ++i) {
        line("sent.r" + std::to_string(5 + i), std::to_string(r.sent[static_cast<std::size_t>(i)]));
    }
    channelLines(m, "cha", r.a);
    channelLines(m, "chb", r.b);
    line("source", r.pod ? "POD" : "BNC");
    line("primary", r.primaryB ? "B" : "A");
    line("trigger.source", r.logicTrigger ? "logic" : "analog");
    line("trigger.mode", modeText(r.triggerMode));
    line("trigger.level", std::to_string(r.triggerLevel));
    line("trigger.word", clean(r.triggerWord));
    line("showtriglogic", r.showTrigLogic ? "1" : "0");
    return m;
}

// --- Reading -------------------------------------------------------------------------------

// Collects the META keys and takes them out one by one, each checked against its range. The
// first problem is kept; later reads then do nothing.
class Fields {
public:
    explicit Fields(std::map<std::string, std::string, std::less<>> values)
        : values_(std::move(values)) {}

    bool ok() const { return problem_.empty(); }
    const std::string& problem() const { return problem_; }

    const std::string* raw(const std::string& key) {
        if (!ok()) {
            return nullptr;
        }
        const auto it = values_.find(key);
        if (it == values_.end()) {
            problem_ = "the value '" + key + "' is missing";
            return nullptr;
        }
        return &it->second;
    }
    void bad(const std::string& key, const std::string& value) {
        if (ok()) {
            problem_ = "'" + key + "' has an impossible value '" + clean(value) + "'";
        }
    }

    template <class Int>
    void integer(const std::string& key, Int& out, long long lo, long long hi) {
        const std::string* v = raw(key);
        if (!v) {
            return;
        }
        long long n = 0;
        const auto r = std::from_chars(v->data(), v->data() + v->size(), n);
        if (r.ec != std::errc() || r.ptr != v->data() + v->size() || n < lo || n > hi) {
            bad(key, *v);
            return;
        }
        out = static_cast<Int>(n);
    }
    void flag(const std::string& key, bool& out) {
        int n = 0;
        integer(key, n, 0, 1);
        out = n == 1;
    }
    void real(const std::string& key, float& out, double lo, double hi) {
        const std::string* v = raw(key);
        if (!v) {
            return;
        }
        float f = 0.0f;
        const auto r = std::from_chars(v->data(), v->data() + v->size(), f);
        if (r.ec != std::errc() || r.ptr != v->data() + v->size() || !std::isfinite(f) || f < lo ||
            f > hi) {
            bad(key, *v);
            return;
        }
        out = f;
    }
    void text(const std::string& key, std::string& out) {
        const std::string* v = raw(key);
        if (!v) {
            return;
        }
        if (v->size() > kMaxText || clean(*v) != *v) {
            bad(key, *v);
            return;
        }
        out = *v;
    }
    // One of the given words; its index.
    int choice(const std::string& key, std::initializer_list<std::string_view> words) {
        const std::string* v = raw(key);
        if (!v) {
            return 0;
        }
        int i = 0;
        for (std::string_view w : words) {
            if (*v == w) {
                return i;
            }
            ++i;
        }
        bad(key, *v);
        return 0;
    }

private:
    std::map<std::string, std::string, std::less<>> values_;
    std::string problem_;
};

void readChannel(Fields& f, const std::string& p, CaptureChannel& c) {
    f.flag(p + ".enabled", c.enabled);
    f.integer(p + ".level", c.level, 1, 6);
    f.flag(p + ".x10", c.x10);
    f.flag(p + ".inverted", c.inverted);
    f.real(p + ".offset", c.offset, -1000.0, 1000.0);
    f.integer(p + ".range", c.range, 0, 3);
    f.real(p + ".adj", c.adj, 1e-9, 10.0);
    f.real(p + ".scale", c.scale, 1e-9, 1e6);
}

ReadResult fail(Error e, std::string message) {
    return {{}, e, std::move(message)};
}

std::optional<std::string> parseMeta(std::string_view text, CaptureRecord& r) {
    std::map<std::string, std::string, std::less<>> values;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        if (nl == std::string_view::npos) {
            return "a description line is not finished";
        }
        const std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl + 1);
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) {
            return "a description line has no name: '" + clean(line) + "'";
        }
        if (!values.emplace(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)))
                 .second) {
            return "'" + clean(line.substr(0, eq)) + "' is given twice";
        }
    }
    Fields f(std::move(values));
    f.text("firmware", r.firmware);
    f.text("taken", r.takenAt);
    f.text("samplerate", r.sampleRate);
    f.text("sampleclock", r.sampleClock);
    f.integer("baud", r.baud, 1, 10'000'000);
    f.integer("timerange", r.timeRange, 1, 21);
    f.real("timeadj", r.timeAdj, 1e-12, 1.0);
    f.integer("timescale", r.timeScale, 1, 2'000'000'000);
    f.integer("timebase", r.timeBase, 0, 2);
    f.integer("trigrow", r.trigRow, -32768, 32767);
    f.integer("chalen", r.chaLen, 0, 32767);
    f.integer("chblen", r.chbLen, 0, 32767);
    f.integer("logiclen", r.logicLen, 0, 32767);
    for (int reg : kImageRegisters) {
        f.integer("image.r" + std::to_string(reg), r.image[static_cast<std::size_t>(reg)], 0, 255);
    }
    for (int i = 0; i < 4; ++i) {
        f.integer("sent.r" + std::to_string(5 + i), r.sent[static_cast<std::size_t>(i)], 0, 255);
    }
    readChannel(f, "cha", r.a);
    readChannel(f, "chb", r.b);
    r.pod = f.choice("source", {"BNC", "POD"}) == 1;
    r.primaryB = f.choice("primary", {"A", "B"}) == 1;
    r.logicTrigger = f.choice("trigger.source", {"analog", "logic"}) == 1;
    r.triggerMode =
        static_cast<TriggerMode>(f.choice("trigger.mode", {"level", "rising", "falling"}));
    f.integer("trigger.level", r.triggerLevel, 0, 255);
    f.text("trigger.word", r.triggerWord);
    if (f.ok() && (r.triggerWord.size() != 8 ||
                   r.triggerWord.find_first_not_of("01X") != std::string::npos)) {
        f.bad("trigger.word", r.triggerWord);
    }
    f.flag("showtriglogic", r.showTrigLogic);
    if (!f.ok()) {
        return f.problem();
    }
    return std::nullopt;
}

} // namespace

std::uint32_t crc32(std::string_view bytes) {
    static const auto kTable = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c = kTable[(c ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

std::string header() {
    std::string out(kMagic);
    out += static_cast<char>(kVersion & 0xFF);
    out += static_cast<char>((kVersion >> 8) & 0xFF);
    return out;
}

std::string captureParts(const CaptureRecord& r) {
    std::string out;
    putChunk(out, kMeta, metaText(r));
    std::string rows;
    const std::size_t n = std::min<std::size_t>(r.samples.size(), 32767);
    rows.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        rows += static_cast<char>(r.samples[i].analog);
        rows += static_cast<char>(r.samples[i].logic);
    }
    putChunk(out, kSamples, rows);
    return out;
}

std::string endMark() {
    std::string out;
    putChunk(out, kEnd, {});
    return out;
}

std::string write(const CaptureRecord& r) {
    return header() + captureParts(r) + endMark();
}

namespace {

// The file's size, magic and format version: the failure, or nothing when they are good.
std::optional<ReadResult> headerProblem(std::string_view b) {
    if (b.size() > kMaxBytes) {
        return fail(Error::TooLarge, "The file is too large to be a Tracely capture.");
    }
    if (b.substr(0, kMagic.size()) != kMagic.substr(0, std::min(b.size(), kMagic.size())) ||
        b.empty()) {
        return fail(Error::NotACaptureFile, "This is not a Tracely capture file.");
    }
    if (b.size() < kMagic.size() + 2) {
        return fail(Error::Truncated, "The capture file is cut short.");
    }
    const int version = static_cast<unsigned char>(b[kMagic.size()]) |
                        (static_cast<unsigned char>(b[kMagic.size() + 1]) << 8);
    if (version != kVersion) {
        return fail(Error::NewerVersion, "The capture file has format " + std::to_string(version) +
                                             "; this Tracely reads format " +
                                             std::to_string(kVersion) + ".");
    }
    return std::nullopt;
}

struct Part {
    std::string_view tag;
    std::string_view payload;
};

// The part at `at`, whole and with its checksum right; `at` moves past it.
std::optional<ReadResult> takePart(std::string_view b, std::size_t& at, Part& part) {
    if (b.size() - at < 8) {
        return fail(Error::Truncated, "The capture file is cut short.");
    }
    part.tag = b.substr(at, 4);
    const std::uint32_t len = getU32(b, at + 4);
    if (len > b.size() - at - 8 || b.size() - at - 8 - len < 4) {
        return fail(Error::Truncated, "The capture file is cut short.");
    }
    part.payload = b.substr(at + 8, len);
    // The checksum covers the part's name, length and contents.
    if (crc32(b.substr(at, 8 + len)) != getU32(b, at + 8 + len)) {
        return fail(Error::Damaged, "The capture file is damaged: the checksum of its part '" +
                                        clean(part.tag) + "' does not match.");
    }
    at += 8 + len + 4;
    return std::nullopt;
}

// The samples part: whole rows of analog and logic bytes.
std::optional<ReadResult> takeSamples(std::string_view payload, CaptureRecord& r) {
    if (payload.empty() || payload.size() % 2 != 0 || payload.size() / 2 > 32767) {
        return fail(Error::BadContent,
                    "The capture file's samples are not whole rows of 1 to 32767.");
    }
    r.samples.resize(payload.size() / 2);
    for (std::size_t i = 0; i < r.samples.size(); ++i) {
        r.samples[i].analog = static_cast<std::uint8_t>(payload[2 * i]);
        r.samples[i].logic = static_cast<std::uint8_t>(payload[2 * i + 1]);
    }
    return std::nullopt;
}

} // namespace

ReadResult read(std::string_view b) {
    if (auto problem = headerProblem(b)) {
        return std::move(*problem);
    }
    std::size_t at = kMagic.size() + 2;
    std::vector<CaptureRecord> records;
    CaptureRecord r;
    bool meta = false; // a description waits for its samples
    for (;;) {
        Part part;
        if (auto problem = takePart(b, at, part)) {
            return std::move(*problem);
        }
        const std::string_view tag = part.tag;
        if (tag == kEnd) {
            if (at != b.size()) {
                return fail(Error::Damaged, "The capture file has data after its end.");
            }
            break;
        }
        if (tag == kMeta) {
            if (meta) {
                return fail(Error::BadContent, "The capture file describes a capture twice.");
            }
            meta = true;
            r = CaptureRecord{};
            if (auto problem = parseMeta(part.payload, r)) {
                return fail(Error::BadContent,
                            "The capture file's description is wrong: " + *problem + ".");
            }
        } else if (tag == kSamples) {
            if (!meta) {
                return fail(Error::BadContent,
                            "The capture file has samples without a description.");
            }
            meta = false;
            if (auto problem = takeSamples(part.payload, r)) {
                return std::move(*problem);
            }
            records.push_back(std::move(r));
        } else if (!(tag[0] >= 'a' && tag[0] <= 'z')) {
            // Parts named in lower case may be skipped by readers that do not know them.
            return fail(Error::NewerVersion, "The capture file holds a part this Tracely does "
                                             "not know ('" +
                                                 clean(tag) + "').");
        }
    }
    if (meta || records.empty()) {
        return fail(Error::BadContent,
                    std::string("The capture file has no ") + (meta ? "samples." : "capture."));
    }
    return {std::move(records), Error::None, {}};
}

} // namespace tracely::capture_file
