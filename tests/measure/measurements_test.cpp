#include "src/measure/measure_text.h"
#include "src/measure/measurements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

using namespace tracely;
using namespace tracely::measure;

namespace {

// What the instrument makes of a signal: 8-bit samples around 128, read back as volts.
constexpr double kAdj = 0.028784312; // 0.5 V/div without the x10 probe: 7.34 V over 255 steps
std::vector<float> sampled(const std::function<double(double)>& signal, double dt, int n) {
    std::vector<float> v;
    for (int i = 0; i < n; ++i) {
        const double raw = std::clamp(std::round(128.0 + signal(i * dt) / kAdj), 0.0, 255.0);
        v.push_back(static_cast<float>((raw - 128.0) * kAdj));
    }
    return v;
}

AnalogMeasurements measured(const std::vector<float>& v, double dt) {
    return measureAnalog({v, dt, -128.0 * kAdj, 127.0 * kAdj});
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
    struct Case {
        const char* name;
        std::function<double(double)> signal;
        double f, vpp, mean, rms, duty, rise; // rise as a fraction of the period; 0: too fast
    };
    const double a = 1.5;
    const Case cases[] = {
        {"sine 1 kHz", [&](double t) { return a * std::sin(2 * std::numbers::pi * 1000 * t); },
         1000, 2 * a, 0, a / std::sqrt(2.0), 0.5, 2 * std::asin(0.8) / (2 * std::numbers::pi)},
        // 13.2 periods in the capture: a mean over all of it would be off by 0.02 V.
        {"square 330 Hz 30 %", [](double t) { return phase(t, 330) < 0.3 ? 1.0 : -1.0; }, 330, 2,
         -0.4, 1.0, 0.3, 0},
        {"triangle 2 kHz",
         [&](double t) {
             const double p = phase(t, 2000);
             return a * (p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
         },
         2000, 2 * a, 0, a / std::sqrt(3.0), 0.5, 0.4},
        {"sine of twenty points a period",
         [&](double t) { return a * std::sin(2 * std::numbers::pi * 5000 * t); }, 5000, 2 * a, 0,
         a / std::sqrt(2.0), 0.5, 2 * std::asin(0.8) / (2 * std::numbers::pi)},
        {"offset sine 250 Hz",
         [](double t) { return 0.5 + std::sin(2 * std::numbers::pi * 250 * t); }, 250, 2, 0.5,
         std::sqrt(0.25 + 0.5), 0.5, 2 * std::asin(0.8) / (2 * std::numbers::pi)},
    };
    const double dt = 1e-5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AnalogMeasurements m = measured(sampled(c.signal, dt, 4000), dt);
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
        } else {
            EXPECT_FALSE(m.riseTime.number) << "an edge between two samples has no honest time";
            EXPECT_NE(m.riseTime.reason.find("too few points"), std::string::npos);
            EXPECT_FALSE(m.fallTime.number);
        }
    }
}

TEST(Measure, NoisyEdgesCountOncePerPeriod) {
    const double dt = 1e-5;
    int n = 0;
    // Three converter steps of noise on a slow sine: without hysteresis each zero crossing
    // would count several times.
    const auto v = sampled(
        [&](double t) {
            return std::sin(2 * std::numbers::pi * 100 * t) +
                   3 * kAdj * (((n++ * 7919) % 7) - 3) / 3.0;
        },
        dt, 5000);
    const AnalogMeasurements m = measured(v, dt);
    expectNear(m.frequency, 100, 0.005, "frequency");
}

TEST(Measure, WhatCannotBeMeasuredHasAReasonInsteadOfANumber) {
    const double dt = 1e-5;
    struct Case {
        const char* name;
        std::function<double(double)> signal;
        int points;
        const Value AnalogMeasurements::*field;
        const char* reason;
    };
    const auto sine = [](double amp, double f) {
        return [=](double t) { return amp * std::sin(2 * std::numbers::pi * f * t); };
    };
    const Case cases[] = {
        {"clipped: maximum", sine(5, 1000), 2000, &AnalogMeasurements::maximum,
         "clipped at the top"},
        {"clipped: minimum", sine(5, 1000), 2000, &AnalogMeasurements::minimum, "bottom"},
        {"clipped: peak-to-peak", sine(5, 1000), 2000, &AnalogMeasurements::peakToPeak, "clipped"},
        {"clipped: RMS", sine(5, 1000), 2000, &AnalogMeasurements::rms, "clipped"},
        {"clipped: rise", sine(5, 1000), 2000, &AnalogMeasurements::riseTime, "clipped"},
        {"clipped: duty", sine(5, 1000), 2000, &AnalogMeasurements::duty, "clipped"},
        {"one and a half periods", sine(1, 1000), 150, &AnalogMeasurements::frequency,
         "fewer than two rising edges"},
        {"one and a half periods: duty", sine(1, 1000), 150, &AnalogMeasurements::duty,
         "fewer than two rising edges"},
        {"ten points a period", sine(1, 10000), 2000, &AnalogMeasurements::riseTime,
         "too few points on a rising edge"},
        {"flat", [](double) { return 0.7; }, 1000, &AnalogMeasurements::frequency, "flat"},
        {"flat: rise", [](double) { return 0.7; }, 1000, &AnalogMeasurements::riseTime, "flat"},
    };
    for (const Case& c : cases) {
        const AnalogMeasurements m = measured(sampled(c.signal, dt, c.points), dt);
        const Value& v = m.*c.field;
        EXPECT_FALSE(v.number) << c.name << ": " << *v.number;
        EXPECT_NE(v.reason.find(c.reason), std::string::npos) << c.name << ": " << v.reason;
    }
    // A clipped trace still has an honest period, and a flat one an honest level.
    const AnalogMeasurements clipped = measured(sampled(sine(5, 1000), dt, 2000), dt);
    expectNear(clipped.frequency, 1000, 0.005, "clipped frequency");
    const AnalogMeasurements flat = measured(sampled([](double) { return 0.7; }, dt, 100), dt);
    EXPECT_NEAR(*flat.mean.number, 0.7, kAdj);
    EXPECT_NEAR(*flat.rms.number, 0.7, kAdj);
    // Nothing captured.
    EXPECT_FALSE(measured({}, dt).maximum.number);
    EXPECT_FALSE(measured({1.0f, 2.0f}, 0.0).mean.number);
}

TEST(Measure, LogicLine) {
    const double dt = 1e-6;
    struct Case {
        const char* name;
        int period, high, points; // 0 period: the line never changes
        int line;
        std::optional<double> f, duty;
        int pulses;
    };
    const Case cases[] = {
        {"30 % at 50 kHz", 20, 6, 200, 3, 50000.0, 0.3, 9},
        {"square on D7", 10, 5, 95, 7, 100000.0, 0.5, 9},
        {"steady line", 0, 0, 100, 0, std::nullopt, std::nullopt, 0},
        {"one pulse", 100, 50, 150, 2, std::nullopt, std::nullopt, 1},
    };
    for (const Case& c : cases) {
        std::vector<LogicPoint> points(static_cast<std::size_t>(c.points));
        for (int i = 0; i < c.points; ++i) {
            // Low first, so that every high stretch inside the capture is a whole pulse.
            const bool high = c.period > 0 && (i % c.period) >= c.period - c.high;
            points[static_cast<std::size_t>(i)][static_cast<std::size_t>(c.line)] = high;
            points[static_cast<std::size_t>(i)][static_cast<std::size_t>((c.line + 1) % 8)] = 1;
        }
        const LogicMeasurements m = measureLogic(points, c.line, dt);
        ASSERT_EQ(m.frequency.number.has_value(), c.f.has_value()) << c.name;
        if (c.f) {
            EXPECT_NEAR(*m.frequency.number, *c.f, *c.f * 1e-9) << c.name;
            EXPECT_NEAR(*m.duty.number, *c.duty, 1e-9) << c.name;
        } else {
            EXPECT_FALSE(m.frequency.reason.empty()) << c.name;
            EXPECT_FALSE(m.duty.number) << c.name;
        }
        EXPECT_EQ(m.pulses.number.value_or(-1), c.pulses) << c.name;
    }
    EXPECT_FALSE(measureLogic(std::vector<LogicPoint>(10), 8, dt).pulses.number);
}

TEST(Measure, ValuesReadWithFourFiguresAndAPrefix) {
    struct Case {
        std::optional<double> v;
        Unit unit;
        const char* text;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const Value v = c.v ? Value::of(*c.v) : Value::none("why");
        EXPECT_EQ(formatValue(v, c.unit), c.text);
    }
}
