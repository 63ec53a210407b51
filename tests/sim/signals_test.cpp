#include "sim/signals.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tracely::sim;

TEST(Waveform, ParsesKindsUnitsAndOffsets) {
    std::string err;
    auto w = parseWave("sine 1kHz 1.5V", err);
    ASSERT_TRUE(w) << err;
    EXPECT_EQ(w->kind, WaveKind::Sine);
    EXPECT_DOUBLE_EQ(w->frequency, 1000.0);
    EXPECT_DOUBLE_EQ(w->amplitude, 1.5);
    EXPECT_DOUBLE_EQ(w->offset, 0.0);

    w = parseWave("Square 2.5MHz 200mV -0.1V", err);
    ASSERT_TRUE(w) << err;
    EXPECT_EQ(w->kind, WaveKind::Square);
    EXPECT_DOUBLE_EQ(w->frequency, 2.5e6);
    EXPECT_DOUBLE_EQ(w->amplitude, 0.2);
    EXPECT_DOUBLE_EQ(w->offset, -0.1);

    for (const char* bad : {"", "cosine 1kHz", "sine 1kHz 1.5", "sine -5Hz", "sine 1kHz 1e9V",
                            "sine nanHz", "sine 1kHzz", "dc V"}) {
        err.clear();
        EXPECT_FALSE(parseWave(bad, err)) << bad;
        EXPECT_FALSE(err.empty()) << bad;
    }
}

TEST(Waveform, ShapesOverOnePeriod) {
    struct Case {
        WaveKind kind;
        double t, volts;
    };
    // 1 kHz, 1 V peak, 0.5 V offset, at points of the period where each shape is known.
    for (const Case c : {Case{WaveKind::Sine, 0.00025, 1.5}, Case{WaveKind::Sine, 0.00075, -0.5},
                         Case{WaveKind::Square, 0.0001, 1.5}, Case{WaveKind::Square, 0.0006, -0.5},
                         Case{WaveKind::Triangle, 0.0, -0.5}, Case{WaveKind::Triangle, 0.0005, 1.5},
                         Case{WaveKind::Sawtooth, 0.00075, 1.0}, Case{WaveKind::Dc, 123.0, 1.5}}) {
        const Waveform w{c.kind, 1000.0, 1.0, 0.5};
        EXPECT_NEAR(voltage(w, c.t, 0, 1, 0), c.volts, 1e-9)
            << static_cast<int>(c.kind) << " " << c.t;
    }
}

TEST(Waveform, NoiseIsBoundedAndRepeatableBySeed) {
    const Waveform noise{WaveKind::Noise, 1.0, 0.5, 1.0};
    double lo = 10;
    double hi = -10;
    for (std::int64_t n = 0; n < 5000; ++n) {
        const double v = voltage(noise, 0, n, 7, 0);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        EXPECT_EQ(v, voltage(noise, 0, n, 7, 0));
    }
    EXPECT_GE(lo, 0.5);
    EXPECT_LE(hi, 1.5);
    EXPECT_LT(lo, 0.6); // it does spread over the band
    EXPECT_GT(hi, 1.4);
    EXPECT_NE(voltage(noise, 0, 1, 7, 0), voltage(noise, 0, 1, 8, 0));
    EXPECT_NE(voltage(noise, 0, 1, 7, 0), voltage(noise, 0, 1, 7, 1)); // channels differ
}

TEST(LogicPattern, PatternsStepAtTheirRate) {
    std::string err;
    auto c = parseLogic("counter 10kHz", err);
    ASSERT_TRUE(c) << err;
    EXPECT_EQ(logicByte(*c, 0.00005, 1), 0);
    EXPECT_EQ(logicByte(*c, 0.00015, 1), 1);
    EXPECT_EQ(logicByte(*c, 0.0257, 1), 1); // 257 steps wrap to 1

    auto w = parseLogic("walk 1kHz", err);
    ASSERT_TRUE(w);
    EXPECT_EQ(logicByte(*w, 0.0035, 1), 8);
    EXPECT_EQ(logicByte(*w, 0.0085, 1), 1);

    auto g = parseLogic("gray 1kHz", err);
    ASSERT_TRUE(g);
    // Consecutive gray codes differ in exactly one bit.
    for (int k = 0; k < 300; ++k) {
        const int a = logicByte(*g, (k + 0.5) / 1000.0, 1);
        const int b = logicByte(*g, (k + 1.5) / 1000.0, 1);
        EXPECT_EQ(__builtin_popcount(static_cast<unsigned>(a ^ b)), 1) << k;
    }

    auto r = parseLogic("random 1kHz", err);
    ASSERT_TRUE(r);
    EXPECT_EQ(logicByte(*r, 0.0123, 5), logicByte(*r, 0.0123, 5));
}

TEST(LogicPattern, UartFramesOnOneLine) {
    std::string err;
    auto u = parseLogic("uart 9600 line3", err);
    ASSERT_TRUE(u) << err;
    EXPECT_EQ(u->line, 3);
    EXPECT_DOUBLE_EQ(u->rate, 9600);
    // Decode the first frame: start bit low, then 'T' (0x54) least significant bit first.
    const auto bitAt = [&](int k) { return logicByte(*u, (k + 0.5) / 9600.0, 1); };
    EXPECT_EQ(bitAt(0), 0);
    int ch = 0;
    for (int b = 0; b < 8; ++b) {
        const int v = bitAt(1 + b);
        EXPECT_TRUE(v == 0 || v == 8);
        ch |= (v ? 1 : 0) << b;
    }
    EXPECT_EQ(ch, 'T');
    EXPECT_EQ(bitAt(9), 8); // stop bit high
    EXPECT_FALSE(parseLogic("uart 9600 line9", err));
    EXPECT_FALSE(parseLogic("counter 0Hz", err));
    EXPECT_FALSE(parseLogic("binary", err));
}
