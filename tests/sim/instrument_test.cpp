#include "sim/instrument.h"
#include "src/link/wire.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tracely;
using namespace tracely::sim;

namespace {

// Drives the engine with a clock of our own: each byte arrives at `t`, and the pacer's
// output is collected as it falls due.
struct Bench {
    explicit Bench(Options opts) : o(std::move(opts)), pacer(o.pace), inst(o, pacer) {}

    std::string send(const std::string& chars, int baud = 57600) {
        for (char c : chars) {
            inst.receive(c, t, baud);
        }
        return drain();
    }
    // Lets time pass until nothing more is due (or the limit is reached), collecting output.
    std::string drain(double limit = 5.0) {
        std::string out;
        const double end = t + limit;
        for (;;) {
            inst.tick(t);
            out += pacer.takeDue(t);
            std::optional<double> next = pacer.nextDue();
            if (auto e = inst.nextEvent(); e && (!next || *e < *next)) {
                next = e;
            }
            if (!next || *next > end) {
                return out;
            }
            t = std::max(t, *next);
        }
    }

    Options o;
    Pacer pacer;
    Instrument inst;
    double t = 1.0;
};

Options quick() {
    Options o;
    o.pace = false;
    return o;
}

std::string updateFor(std::uint8_t r5, std::uint8_t r6, std::uint8_t r7, std::uint8_t r8,
                      std::uint8_t r11, std::uint8_t r13, std::uint8_t r14, std::uint8_t r20) {
    return wire::updateSequence({r5, r6, r7, r8, r11, 0, r13, r14, 0, r20});
}

} // namespace

TEST(Instrument, SlowCaptureTakesItsRealTime) {
    Options o = quick();
    o.cha = Waveform{WaveKind::Square, 1000.0, 1.0, 0.0};
    Bench b(o);
    // 10 KSa/s at 57600: 5 us rows, trigger 5000 rows in, 5061 rows after it to the answer.
    b.send(updateFor(128, 127, 0x23, 3, 250, 76, 175, 252) + ">");
    const double armed = b.t;
    const std::string answer = b.send("T");
    ASSERT_EQ(answer.size(), 7u);
    EXPECT_GE(b.t - armed, (10060 - 5000 + 1) * 5e-6 - 1e-9);
}

namespace {
// When each byte sent for `chars` is due, the characters arriving 10 ms apart from t = 1 on an
// unpaced line, so an echo on time is due the moment its character came.
std::vector<double> echoTimes(Options o, const std::string& chars) {
    o.pace = false;
    o.noTrigger = true; // only echoes go out
    Pacer pacer(false);
    Instrument inst(o, pacer);
    for (std::size_t k = 0; k < chars.size(); ++k) {
        inst.receive(chars[k], 1.0 + 0.01 * static_cast<double>(k), 57600);
    }
    std::vector<double> due;
    for (std::size_t i = 0; i < pacer.queued(); ++i) {
        due.push_back(pacer.dueAt(i));
    }
    return due;
}
} // namespace

TEST(Instrument, LateEchoCountsFromEachTraceRequest) {
    const struct {
        int at;
        double ms;
        bool answer7;
        const char* chars;
        std::vector<double> due;
    } cases[] = {
        {2, 600, false, "aTbcdTef", {1.00, 1.01, 1.02, 1.63, 1.63, 1.63, 1.63, 1.67}},
        {2, 600, true, "aTbcdTef", {1.00, 1.02, 1.63, 1.63, 1.63, 1.67}}, // no echo of "T"
        {1, 250, false, "TaTb", {1.00, 1.26, 1.26, 1.28}},
        {1, 0, false, "Tab", {1.00, 1.01, 1.02}},
        {3, 600, false, "abcd", {1.00, 1.01, 1.02, 1.03}}, // no trace requested yet
        {5, 600, false, "Tabc", {1.00, 1.01, 1.02, 1.03}},
    };
    for (const auto& c : cases) {
        Options o;
        o.answer7 = c.answer7;
        o.faults.lateEchoAt = c.at;
        o.faults.lateEchoMs = c.ms;
        const std::vector<double> due = echoTimes(o, c.chars);
        ASSERT_EQ(due.size(), c.due.size()) << c.chars;
        for (std::size_t i = 0; i < due.size(); ++i) {
            EXPECT_NEAR(due[i], c.due[i], 1e-9) << c.chars << " N=" << c.at << " byte " << i;
        }
    }
}

TEST(Instrument, ChaosInjectsAboutOneFaultInNTracesRepeatablyBySeed) {
    const auto run = [](std::uint64_t seed) {
        Options o = quick();
        o.seed = seed;
        o.chaos.everyTraces = 10;
        o.noTrigger = true; // only the draws matter here
        Bench b(o);
        std::vector<std::string> faults;
        b.inst.setFaultObserver([&](const std::string& what) { faults.push_back(what); });
        for (int trace = 0; trace < 1000; ++trace) {
            b.send("T");
        }
        EXPECT_EQ(b.inst.chaosFaults(), faults.size());
        return faults;
    };
    const std::vector<std::string> a = run(3);
    EXPECT_GT(a.size(), 60u);
    EXPECT_LT(a.size(), 140u);
    EXPECT_EQ(run(3), a);
    EXPECT_NE(run(4), a);
    // Every kind turns up.
    for (const char* kind :
         {"wrong echo", "late", "lost", "trigger answer", "cut short", "stray"}) {
        EXPECT_TRUE(std::any_of(a.begin(), a.end(), [&](const std::string& f) {
            return f.find(kind) != f.npos;
        })) << kind;
    }
}
