#include "bench/reference_client.h"

#include "src/instrument/registers.h"
#include "src/link/dump_address.h"
#include "src/link/hex.h"
#include "tests/support/fd_io.h"

#include <chrono>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <termios.h>
#include <unistd.h>

namespace tracely::bench {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kR5 = 128;            // mid scale
constexpr std::uint8_t kR6 = 0;              // every bit of the pattern counts
constexpr std::uint8_t kR7 = regs::kR7Start; // level trigger on the analog byte
constexpr std::uint8_t kR14 = 175;
constexpr std::uint8_t kR15 = 0;

// The program allows 5 ms per echo; this client measures the line, not the time-out, so it
// waits longer rather than fail on a busy machine.
constexpr auto kEchoWait = 500ms;
constexpr auto kTriggerWait = 10s;
constexpr auto kBlockWait = 2s;
constexpr std::size_t kIdentBytes = 11; // echo, CR, eight characters, CR
constexpr std::size_t kReplyBytes = 7;  // echo "T", CR, four hex digits, CR

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The program's end of the line: raw, non-blocking, at the capture's speed. Its own rather than
// the tests' LineClient because each command character needs stale input discarded first.
class RawLine {
public:
    RawLine(const std::string& path, int baud) {
        const speed_t s = baud == 115200 ? B115200 : baud == 57600 ? B57600 : B0;
        if (s == B0) {
            return;
        }
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) {
            return;
        }
        termios t{};
        bool set = ::tcgetattr(fd_, &t) == 0;
        if (set) {
            ::cfmakeraw(&t);
            set = ::cfsetspeed(&t, s) == 0 && ::tcsetattr(fd_, TCSANOW, &t) == 0;
        }
        if (!set) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawLine() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    RawLine(const RawLine&) = delete;
    RawLine& operator=(const RawLine&) = delete;

    int fd() const { return fd_; }

private:
    int fd_ = -1;
};

std::string printable(std::string_view bytes) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += kDigits[u >> 4];
            out += kDigits[u & 15];
        }
    }
    return out;
}

// One capture after another on an open line, counting what it receives.
class Capturer {
public:
    Capturer(int fd, const CapturePlan& plan) : fd_(fd), plan_(plan) {}

    bool identify() {
        if (!tracely::test::writeAll(fd_, std::string_view("?"))) {
            return fail("identification: cannot write");
        }
        const std::string id = tracely::test::readUpTo(fd_, kIdentBytes, kEchoWait);
        if (id.size() != kIdentBytes || id.front() != '?' || id[1] != '\r' || id.back() != '\r') {
            return fail("identification: got \"" + printable(id) + "\"");
        }
        return true;
    }

    bool capture() {
        received_ = 0;
        if (!echoChecked(wire::updateSequence(plan_.image), "register programming") ||
            !echoChecked(std::string(1, wire::kArm), "arm")) {
            return false;
        }

        const auto triggerStart = Clock::now();
        if (!tracely::test::writeAll(fd_, std::string_view(&wire::kTrace, 1))) {
            return fail("trigger: cannot write");
        }
        const std::string reply = tracely::test::readUpTo(fd_, kReplyBytes, kTriggerWait);
        triggerTime_ = Clock::now() - triggerStart;
        received_ += reply.size();
        const std::string_view digits =
            reply.size() == kReplyBytes ? std::string_view(reply).substr(2, 4) : std::string_view();
        bool framed = reply.size() == kReplyBytes && reply[0] == wire::kTrace && reply[1] == '\r' &&
                      reply[6] == '\r';
        for (char c : digits) {
            framed = framed && hex::digitValue(c) >= 0;
        }
        const auto address = framed ? SplitDumpAddress(digits, plan_.geometry.dumpOffset)
                                    : std::optional<DumpAddress>();
        if (!address) {
            return fail("trigger answer \"" + printable(reply) + "\" is not T CR hhhh CR");
        }

        if (!echoChecked(wire::dumpRequestSequence(address->r3, address->r4, plan_.dumpMode),
                         "dump request")) {
            return false;
        }
        for (int block = 1; block <= plan_.geometry.chunks; ++block) {
            if (!tracely::test::writeAll(fd_, std::string_view(&wire::kDump, 1))) {
                return fail("dump block " + std::to_string(block) + ": cannot write");
            }
            const std::string data = tracely::test::readUpTo(
                fd_, static_cast<std::size_t>(wire::kDumpBlockBytes), kBlockWait);
            received_ += data.size();
            if (data.size() != static_cast<std::size_t>(wire::kDumpBlockBytes) ||
                data.front() != wire::kDump) {
                return fail(
                    "dump block " + std::to_string(block) + ": " + std::to_string(data.size()) +
                    " of " + std::to_string(wire::kDumpBlockBytes) + " bytes" +
                    (data.empty() ? "" : ", first \"" + printable(data.substr(0, 1)) + "\""));
            }
        }
        return true;
    }

    std::size_t received() const { return received_; }
    Clock::duration triggerTime() const { return triggerTime_; }
    std::size_t stale() const { return stale_; }
    const std::string& error() const { return error_; }

private:
    // Each character alone: discard anything stale, send it, and expect it back within the wait.
    bool echoChecked(const std::string& chars, const char* stage) {
        for (std::size_t i = 0; i < chars.size(); ++i) {
            stale_ += tracely::test::readAvailable(fd_, 0ms).size();
            if (!tracely::test::writeAll(fd_, std::string_view(chars).substr(i, 1))) {
                return fail(std::string(stage) + ": cannot write");
            }
            const std::string echo = tracely::test::readUpTo(fd_, 1, kEchoWait);
            received_ += echo.size();
            if (echo.size() != 1 || echo[0] != chars[i]) {
                return fail(std::string(stage) + ": character " + std::to_string(i + 1) + " '" +
                            printable(chars.substr(i, 1)) + "' echoed as \"" + printable(echo) +
                            "\"");
            }
        }
        return true;
    }

    bool fail(std::string what) {
        error_ = std::move(what);
        return false;
    }

    int fd_;
    const CapturePlan& plan_;
    std::size_t received_ = 0;
    Clock::duration triggerTime_{};
    std::size_t stale_ = 0;
    std::string error_;
};

} // namespace

CapturePlan planFor(timebase::Rate rate, int baud, int position) {
    const timebase::CaptureGeometry g = timebase::captureGeometry(rate, baud, position);
    const auto r8 = regs::withDecimation(regs::kR8Bit0, g.r8Bit1);
    return CapturePlan{
        rate,
        baud,
        position,
        g,
        wire::RegisterImage{kR5, kR6, kR7, r8, g.r11, g.r12, g.r13, kR14, kR15, g.r20},
        regs::dumpMode(kR7, true)};
}

ReferenceStats runReferenceCaptures(const std::string& ptyPath, const CapturePlan& plan,
                                    int captures) {
    ReferenceStats stats;
    RawLine line(ptyPath, plan.baud);
    if (line.fd() < 0) {
        stats.error = "cannot open " + ptyPath + " as a raw line at " + std::to_string(plan.baud);
        return stats;
    }
    Capturer c(line.fd(), plan);
    if (!c.identify() || !c.capture()) {
        stats.error = "warm-up: " + c.error();
        return stats;
    }

    std::size_t bytes = 0;
    Clock::duration trigger{};
    const auto start = Clock::now();
    auto end = start;
    for (int i = 1; i <= captures; ++i) {
        if (!c.capture()) {
            stats.error = "capture " + std::to_string(i) + ": " + c.error();
            break;
        }
        end = Clock::now();
        ++stats.captures;
        bytes += c.received();
        trigger += c.triggerTime();
    }
    stats.staleBytes = c.stale();
    if (stats.captures == 0) {
        return stats;
    }

    const double n = stats.captures;
    const double byteTime = 10.0 / plan.baud;
    stats.seconds = seconds(end - start);
    stats.capturesPerSecond = stats.seconds > 0.0 ? n / stats.seconds : 0.0;
    stats.bytesPerCapture = static_cast<double>(bytes) / n;
    // Less the whole reply's byte time, not just the answer's: the echo "T" is one of the
    // received bytes already, and counting it twice would lower the limit.
    stats.triggerWait = seconds(trigger) / n - static_cast<double>(kReplyBytes) * byteTime;
    const double perCapture = stats.bytesPerCapture * byteTime + stats.triggerWait;
    stats.lineLimit = perCapture > 0.0 ? 1.0 / perCapture : 0.0;
    stats.ratio = stats.lineLimit > 0.0 ? stats.capturesPerSecond / stats.lineLimit : 0.0;
    return stats;
}

} // namespace tracely::bench
