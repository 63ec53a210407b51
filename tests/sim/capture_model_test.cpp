#include "sim/capture_model.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tracely::sim;

namespace {
RegisterFile timebaseRegs(int r8, int r11, int r13, int r20) {
    RegisterFile r{};
    r[8] = static_cast<std::uint8_t>(r8);
    r[11] = static_cast<std::uint8_t>(r11);
    r[13] = static_cast<std::uint8_t>(r13);
    r[20] = static_cast<std::uint8_t>(r20);
    return r;
}
} // namespace

TEST(CaptureTiming, UnknownRegistersFallBackToTheFastRate) {
    // Every row of the table is checked end to end (TimebaseEndToEnd); nonsense falls back
    // to 25 MSa/s instead of failing.
    const CaptureTiming t = timingFor(timebaseRegs(1, 99, 99, 99), 57600);
    EXPECT_FALSE(t.recognised);
    EXPECT_DOUBLE_EQ(t.dt, 4e-8);
}

TEST(AnalogConversion, KnownVoltageAndRangeCode) {
    EXPECT_EQ(analogByte(0.0, false, 1), 128);
    EXPECT_EQ(analogByte(0.3, false, 1), 192); // 0.3 V over 1.2 V / 255
    EXPECT_EQ(analogByte(-0.3, false, 1), 64);
    EXPECT_EQ(analogByte(0.3, true, 1), 141);  // the pod's 5.8 V span
    EXPECT_EQ(analogByte(3.0, false, 3), 232); // 7.34 V span
    EXPECT_EQ(analogByte(100.0, false, 0), 255);
    EXPECT_EQ(analogByte(-100.0, true, 3), 0);
    EXPECT_EQ(analogByte(std::numeric_limits<double>::quiet_NaN(), false, 0), 0);
}

TEST(Trigger, ConditionsOnASquareWave) {
    Options o;
    o.cha = Waveform{WaveKind::Square, 1000.0, 1.0, 0.0};
    o.logic = LogicPattern{LogicKind::Counter, 1000.0, 0};
    SignalSource src(o);
    const double dt = 1e-5; // 100 samples a period; high for the first 50
    AdcSetup adc;
    adc.rangeCode = 3;
    RegisterFile r{};
    r[5] = 128; // at or above the middle: the high half of the square
    r[6] = 127;
    r[7] = 0x21; // analog, becoming true
    // Sample times sit on the wave's edges, so allow the rounding of one sample.
    const auto near = [](std::optional<std::int64_t> got, std::int64_t want) {
        return got && *got >= want - 1 && *got <= want + 1;
    };
    EXPECT_TRUE(near(src.findTrigger(10, 500, dt, adc, triggerSetup(r)), 100));
    r[7] = 0x31; // becoming false
    EXPECT_TRUE(near(src.findTrigger(10, 500, dt, adc, triggerSetup(r)), 50));
    r[7] = 0x01; // level: already true at the start
    EXPECT_EQ(src.findTrigger(10, 500, dt, adc, triggerSetup(r)), 10);
    // Logic word 3 exactly, on the counter stepping every 100 samples.
    r[5] = 3;
    r[6] = 0;
    r[7] = 0x20;
    EXPECT_TRUE(near(src.findTrigger(0, 1000, dt, adc, triggerSetup(r)), 300));
    // A word that never comes.
    r[5] = 200;
    EXPECT_FALSE(src.findTrigger(0, 1000, dt, adc, triggerSetup(r)));
}
