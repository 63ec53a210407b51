#include "src/instrument/timebase.h"

#include <array>
#include <cmath>

namespace tracely::timebase {

namespace {

constexpr std::array<TimeScale, kPositions> kScales{{
    {1000000000, 0, "1n"}, {500000000, 0, "2n"}, {200000000, 0, "5n"},  {100000000, 0, "10n"},
    {50000000, 0, "20n"},  {20000000, 0, "50n"}, {10000000, 0, "100n"}, {5000000, 0, "200n"},
    {2000000, 0, "500n"},  {1000000, 1, "1u"},   {500000, 1, "2u"},     {200000, 1, "5u"},
    {100000, 1, "10u"},    {50000, 1, "20u"},    {20000, 1, "50u"},     {10000, 1, "100u"},
    {5000, 1, "200u"},     {2000, 1, "500u"},    {1000, 2, "1m"},       {500, 2, "2m"},
    {200, 2, "5m"},
}};

// One row of the size table: the value at 57600, then at 115200.
struct Pair {
    std::int16_t slow, fast;
    std::int16_t at(bool fast115200) const { return fast115200 ? fast : slow; }
};

struct Row {
    Pair points, chunks, capture, trigStart, dumpOffset, r11, r13, r20;
};

// The slow rates use one row for every knob position.
constexpr Row kRow10K{{500, 500},    {40, 20},   {10000, 5000}, {5000, 2500},
                      {10060, 5030}, {250, 250}, {76, 159},     {252, 252}};
constexpr Row kRow25K{{500, 500},    {40, 20},   {10000, 5000}, {5000, 2500},
                      {10060, 5030}, {250, 250}, {26, 59},      {252, 252}};

constexpr Row row100K(int p) {
    constexpr Pair r13{1, 9};
    if (p <= 13) {
        return {{20, 21}, {2, 1}, {400, 200}, {200, 100}, {520, 260}, {13, 13}, r13, {15, 15}};
    }
    switch (p) {
    case 14:
        return {{40, 41}, {4, 2}, {800, 400}, {400, 200}, {860, 430}, {20, 20}, r13, {22, 22}};
    case 15:
        return {{100, 100},   {8, 4},   {2000, 1000}, {1000, 500},
                {2080, 1040}, {51, 51}, r13,          {49, 49}};
    case 16:
        return {{200, 200},   {16, 8},    {4000, 2000}, {2000, 1000},
                {4060, 2030}, {100, 100}, r13,          {102, 102}};
    case 17:
        return {{400, 400},   {32, 16},   {8000, 4000}, {4000, 2000},
                {8080, 4040}, {201, 201}, r13,          {202, 202}};
    default:
        return {{500, 500},    {40, 20},   {10000, 5000}, {5000, 2500},
                {10060, 5030}, {250, 250}, r13,           {252, 252}};
    }
}

constexpr Row same(std::int16_t pts, std::int16_t chunks, std::int16_t cap, std::int16_t trig,
                   std::int16_t dump, Pair r11, Pair r13, Pair r20) {
    return {{pts, pts}, {chunks, chunks}, {cap, cap}, {trig, trig}, {dump, dump}, r11, r13, r20};
}

constexpr Row row25M(int p) {
    if (p <= 9) {
        return same(500, 2, 500, 230, 505, {0, 2}, {1, 1}, {3, 5});
    }
    switch (p) {
    case 10:
        return same(500, 2, 500, 250, 530, {0, 2}, {1, 1}, {3, 7});
    case 11:
        return same(1000, 4, 1000, 480, 1050, {2, 6}, {1, 1}, {4, 9});
    case 12:
        return same(2500, 10, 2500, 1240, 2550, {7, 16}, {1, 1}, {10, 21});
    case 13:
        return same(5000, 20, 5000, 2490, 5010, {15, 32}, {1, 1}, {21, 43});
    case 14:
        return same(10000, 40, 10000, 4990, 10050, {32, 66}, {1, 1}, {39, 79});
    case 16: // the only position of the long captures whose search starts ten rows later
        return same(15000, 60, 15000, 7500, 15400, {38, 104}, {2, 1}, {48, 119});
    default:
        return same(15000, 60, 15000, 7490, 15400, {38, 104}, {2, 1}, {48, 119});
    }
}

struct RateInfo {
    Rate rate;
    const char* text;
    float adjSlow, adjFast;
    bool r8Bit1;
};

constexpr std::array<RateInfo, 4> kRates{{
    {Rate::R10K, "10KSa/s", 0.0001f, 9.98e-05f, true},
    {Rate::R25K, "25KSa/s", 4e-05f, 3.98e-05f, true},
    {Rate::R100K, "100KSa/s", 1e-05f, 9.8e-06f, true},
    {Rate::R25M, "25MSa/s", 4e-08f, 4e-08f, false},
}};

const RateInfo& info(Rate r) {
    return kRates[static_cast<std::size_t>(r)];
}

} // namespace

std::optional<TimeScale> timeScaleFor(int position) {
    if (position < 1 || position > kPositions) {
        return std::nullopt;
    }
    return kScales[static_cast<std::size_t>(position - 1)];
}

std::optional<Rate> rateFromText(std::string_view text) {
    for (const RateInfo& r : kRates) {
        if (text == r.text) {
            return r.rate;
        }
    }
    return std::nullopt;
}

const char* rateText(Rate r) {
    return info(r).text;
}

CaptureGeometry captureGeometry(Rate rate, std::int32_t baud, int position) {
    const bool fast = baud == 115200;
    const Row row = rate == Rate::R10K    ? kRow10K
                    : rate == Rate::R25K  ? kRow25K
                    : rate == Rate::R100K ? row100K(position)
                                          : row25M(position);
    const RateInfo& ri = info(rate);
    return CaptureGeometry{
        fast ? ri.adjFast : ri.adjSlow,
        ri.r8Bit1,
        row.points.at(fast),
        row.chunks.at(fast),
        row.capture.at(fast),
        row.trigStart.at(fast),
        row.dumpOffset.at(fast),
        static_cast<std::uint8_t>(row.r11.at(fast)),
        0,
        static_cast<std::uint8_t>(row.r13.at(fast)),
        static_cast<std::uint8_t>(row.r20.at(fast)),
    };
}

int knobPosition(double knobValue) {
    if (!std::isfinite(knobValue) || knobValue < -1e6 || knobValue > 1e6) {
        return 0;
    }
    return static_cast<int>(std::nearbyint(knobValue));
}

} // namespace tracely::timebase
