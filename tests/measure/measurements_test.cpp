#include "src/measure/measure_text.h"
#include "src/measure/measurements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

using namespace tracely;
using namespace tracely::measure;

namespace {

using Signal = std::function<double(double)>;
using M = AnalogMeasurements;
constexpr double kAdj = 0.028784312; // 0.5 V/div without the x10 probe: 7.34 V over 255 steps
constexpr double kDt = 1e-5;
// 10 % to 90 % of a sine's swing, as a fraction of its period.
const double kSineRise = 2 * std::asin(0.8) / (2 * std::numbers::pi);

// What the instrument makes of a signal (8-bit samples around 128, read back as volts), measured.
M measured(const Signal& signal, int n) {
    std::vector<float> v;
    for (int i = 0; i < n; ++i) {
        const double raw = std::clamp(std::round(128.0 + signal(i * kDt) / kAdj), 0.0, 255.0);
        v.push_back(static_cast<float>((raw - 128.0) * kAdj));
    }
    return measureAnalog({v, kDt, -128.0 * kAdj, 127.0 * kAdj});
}

Signal sine(double amp, double f, double offset = 0.0) {
    return [=](double t) { return offset + amp * std::sin(2 * std::numbers::pi * f * t); };
}

double phase(double t, double f) {
    return t * f - std::floor(t * f);
}

void expectNear(const Value& v, double want, double relTol, const char* what) {
    ASSERT_TRUE(v.number) << what << ": " << v.reason;
    EXPECT_NEAR(*v.number, want, std::fabs(want) * relTol) << what;
}

} // namespace

TEST(Measure, KnownSignalsMeasureAsTheyWereMade) {
    const struct {
        const char* name;
        Signal signal;
        double f, vpp, mean, rms, duty, rise; // rise as a fraction of the period; 0: too fast
    } cases[] = {
        {"sine 1 kHz", sine(1.5, 1000), 1000, 3, 0, 1.5 / std::sqrt(2.0), 0.5, kSineRise},
        // 13.2 periods in the capture: a mean over all of it would be off by 0.02 V.
        {"square 330 Hz 30 %", [](double t) { return phase(t, 330) < 0.3 ? 1.0 : -1.0; }, 330, 2,
         -0.4, 1.0, 0.3, 0},
        {"triangle 2 kHz",
         [](double t) {
             const double p = phase(t, 2000);
             return 1.5 * (p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
         },
         2000, 3, 0, 1.5 / std::sqrt(3.0), 0.5, 0.4},
        {"sine of twenty points a period", sine(1.5, 5000), 5000, 3, 0, 1.5 / std::sqrt(2.0), 0.5,
         kSineRise},
        {"offset sine 250 Hz", sine(1, 250, 0.5), 250, 2, 0.5, std::sqrt(0.75), 0.5, kSineRise},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const M m = measured(c.signal, 4000);
        expectNear(m.frequency, c.f, 0.002, "frequency");
        expectNear(m.period, 1 / c.f, 0.002, "period");
        ASSERT_TRUE(m.peakToPeak.number);
        EXPECT_NEAR(*m.peakToPeak.number, c.vpp, 2 * kAdj);
        EXPECT_NEAR(*m.maximum.number - *m.minimum.number, *m.peakToPeak.number, 1e-6);
        EXPECT_NEAR(*m.mean.number, c.mean, 0.015);
        if (c.mean == 0) {
            EXPECT_EQ(*m.mean.number, 0.0) << "no microvolts from 28 mV steps";
        }
        expectNear(m.rms, c.rms, 0.01, "RMS");
        expectNear(m.duty, c.duty, 0.01, "duty");
        if (c.rise > 0) {
            expectNear(m.riseTime, c.rise / c.f, 0.02, "rise");
            expectNear(m.fallTime, c.rise / c.f, 0.02, "fall");
        } else { // an edge between two samples has no honest time
            EXPECT_NE(m.riseTime.reason.find("too few points"), std::string::npos);
            EXPECT_FALSE(m.riseTime.number || m.fallTime.number);
        }
    }
    // Three converter steps of noise on a slow sine: without hysteresis each zero crossing
    // would count several times.
    int n = 0;
    const M noisy = measured(
        [&](double t) {
            return std::sin(2 * std::numbers::pi * 100 * t) + kAdj * ((n++ * 7919) % 7 - 3);
        },
        5000);
    expectNear(noisy.frequency, 100, 0.005, "noisy frequency");
}

TEST(Measure, WhatCannotBeMeasuredHasAReasonInsteadOfANumber) {
    const struct {
        const char* name;
        Signal signal;
        int points;
        std::vector<const Value M::*> fields;
        const char* reason;
    } cases[] = {
        {"clipped", sine(5, 1000), 2000, {&M::maximum}, "clipped at the top"},
        {"clipped", sine(5, 1000), 2000, {&M::minimum}, "bottom"},
        {"clipped",
         sine(5, 1000),
         2000,
         {&M::peakToPeak, &M::rms, &M::riseTime, &M::duty},
         "clipped"},
        {"one and a half periods",
         sine(1, 1000),
         150,
         {&M::frequency, &M::duty},
         "fewer than two rising edges"},
        {"ten points a period",
         sine(1, 10000),
         2000,
         {&M::riseTime},
         "too few points on a rising edge"},
        {"flat", [](double) { return 0.7; }, 1000, {&M::frequency, &M::riseTime}, "flat"},
    };
    for (const auto& c : cases) {
        const M m = measured(c.signal, c.points);
        for (const auto field : c.fields) {
            const Value& v = m.*field;
            EXPECT_FALSE(v.number) << c.name << ": " << *v.number;
            EXPECT_NE(v.reason.find(c.reason), std::string::npos) << c.name << ": " << v.reason;
        }
    }
    // A clipped trace still has an honest period, and a flat one an honest level.
    expectNear(measured(sine(5, 1000), 2000).frequency, 1000, 0.005, "clipped frequency");
    const M flat = measured([](double) { return 0.7; }, 100);
    EXPECT_NEAR(*flat.mean.number, 0.7, kAdj);
    EXPECT_NEAR(*flat.rms.number, 0.7, kAdj);
    // Nothing captured.
    const std::vector<float> two = {1.0f, 2.0f};
    EXPECT_FALSE(measureAnalog({{}, kDt, -1.0, 1.0}).maximum.number);
    EXPECT_FALSE(measureAnalog({two, 0.0, -1.0, 1.0}).mean.number);
}

TEST(Measure, LogicLine) {
    const struct {
        const char* name;
        int period, high, points; // 0 period: the line never changes
        int line;
        std::optional<double> f, duty;
        int pulses;
    } cases[] = {
        {"30 % at 50 kHz", 20, 6, 200, 3, 50000.0, 0.3, 9},
        {"square on D7", 10, 5, 95, 7, 100000.0, 0.5, 9},
        {"steady line", 0, 0, 100, 0, std::nullopt, std::nullopt, 0},
        {"one pulse", 100, 50, 150, 2, std::nullopt, std::nullopt, 1},
    };
    for (const auto& c : cases) {
        std::vector<LogicPoint> points(static_cast<std::size_t>(c.points));
        for (std::size_t i = 0; i < points.size(); ++i) {
            // Low first, so that every high stretch inside the capture is a whole pulse; the
            // next line is high throughout and must not count.
            points[i][static_cast<std::size_t>(c.line)] =
                c.period > 0 && int(i) % c.period >= c.period - c.high;
            points[i][static_cast<std::size_t>((c.line + 1) % 8)] = 1;
        }
        const LogicMeasurements m = measureLogic(points, c.line, 1e-6);
        ASSERT_EQ(m.frequency.number.has_value(), c.f.has_value()) << c.name;
        if (c.f) {
            EXPECT_NEAR(*m.frequency.number, *c.f, *c.f * 1e-9) << c.name;
            EXPECT_NEAR(*m.duty.number, *c.duty, 1e-9) << c.name;
        } else {
            EXPECT_FALSE(m.frequency.reason.empty() || m.duty.number) << c.name;
        }
        EXPECT_EQ(m.pulses.number.value_or(-1), c.pulses) << c.name;
    }
    EXPECT_FALSE(measureLogic(std::vector<LogicPoint>(10), 8, 1e-6).pulses.number);
}

TEST(Measure, ValuesReadWithFourFiguresAndAPrefix) {
    const struct {
        std::optional<double> v;
        Unit unit;
        const char* text;
    } cases[] = {
        {1000.0, Unit::Hertz, "1.000 kHz"},
        {999.96, Unit::Hertz, "1.000 kHz"},
        {2.5e-4, Unit::Seconds, "250.0 \u00b5s"},
        {-1.2346, Unit::Volts, "-1.235 V"},
        {12.5, Unit::Volts, "12.50 V"},
        {0.0, Unit::Volts, "0.000 V"},
        {0.5, Unit::Ratio, "50.0 %"},
        {12.0, Unit::Count, "12"},
        {3.3e-8, Unit::Seconds, "33.00 ns"},
        {std::nullopt, Unit::Hertz, "\u2014"},
        {2.0e6, Unit::Hertz, "2.000 MHz"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatValue(c.v ? Value::of(*c.v) : Value::none("why"), c.unit), c.text);
    }
}
