#include "src/measure/measurements.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tracely::measure {

namespace {

// Fraction of the swing either side of the middle that a level must pass to count as a change:
// keeps noise and converter steps near the middle from counting as edges.
constexpr double kHysteresis = 0.1;
// An edge needs this many points strictly between its 10 % and 90 % levels to be timed: with
// fewer, straight lines between the points misplace the levels (by 4 % on a sine sampled ten
// times a period); with five, a sine's rise time is within 1 %.
constexpr int kPointsOnEdge = 5;

// Point position (fractional index) where the straight line from point i-1 to i meets `level`.
double crossing(std::span<const float> v, std::size_t i, double level) {
    const double a = v[i - 1];
    const double b = v[i];
    return static_cast<double>(i - 1) + (level - a) / (b - a);
}

struct Edges {
    std::vector<double> rising; // fractional point positions of the middle crossings
    std::vector<double> falling;
};

Edges middleCrossings(std::span<const float> v, double lo, double hi) {
    const double mid = (lo + hi) / 2.0;
    const double band = (hi - lo) * kHysteresis;
    Edges e;
    enum { Unknown, Low, High } state = Unknown;
    std::size_t lastSide = 0; // last point that stood clearly on the current side
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double x = v[i];
        const bool low = x <= mid - band;
        const bool high = x >= mid + band;
        if (!low && !high) {
            continue;
        }
        if (state != Unknown && (high ? High : Low) != state) {
            // The middle is crossed somewhere between lastSide and i: take the last crossing.
            for (std::size_t j = i; j > lastSide; --j) {
                const bool wasBelow = v[j - 1] < mid;
                const bool isBelow = v[j] < mid;
                if (wasBelow != isBelow) {
                    (high ? e.rising : e.falling).push_back(crossing(v, j, mid));
                    break;
                }
            }
        }
        state = high ? High : Low;
        lastSide = i;
    }
    return e;
}

struct EdgeTimes {
    std::vector<double> rise; // in points
    std::vector<double> fall;
    bool tooFastRise = false;
    bool tooFastFall = false;
};

// 10 % to 90 % transit times of every complete edge.
EdgeTimes transitTimes(std::span<const float> v, double lo10, double hi90) {
    EdgeTimes t;
    enum { Unknown, Low, Rising, High, Falling } state = Unknown;
    double start = 0.0;
    int inside = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const double x = v[i];
        switch (state) {
        case Unknown:
            state = x <= lo10 ? Low : x >= hi90 ? High : Unknown;
            break;
        case Low:
        case Rising:
            if (state == Low && x > lo10) {
                start = crossing(v, i, lo10);
                inside = 0;
                state = Rising;
            }
            if (state != Rising) {
                break;
            }
            if (x <= lo10) {
                state = Low; // fell back before reaching the top: not an edge
            } else if (x >= hi90) {
                t.rise.push_back(crossing(v, i, hi90) - start);
                t.tooFastRise = t.tooFastRise || inside < kPointsOnEdge;
                state = High;
            } else {
                ++inside;
            }
            break;
        case High:
        case Falling:
            if (state == High && x < hi90) {
                start = crossing(v, i, hi90);
                inside = 0;
                state = Falling;
            }
            if (state != Falling) {
                break;
            }
            if (x >= hi90) {
                state = High;
            } else if (x <= lo10) {
                t.fall.push_back(crossing(v, i, lo10) - start);
                t.tooFastFall = t.tooFastFall || inside < kPointsOnEdge;
                state = Low;
            } else {
                ++inside;
            }
            break;
        }
    }
    return t;
}

Value edgeTime(const std::vector<double>& edges, bool tooFast, double dt, const char* which) {
    if (edges.empty()) {
        return Value::none(std::string("no complete ") + which + " edge in the capture");
    }
    if (tooFast) {
        return Value::none(std::string("too few points on a ") + which + " edge to time it (" +
                           std::to_string(kPointsOnEdge) +
                           " needed): raise the sample rate or shorten the time per division");
    }
    double sum = 0.0;
    for (double e : edges) {
        sum += e;
    }
    return Value::of(sum / static_cast<double>(edges.size()) * dt);
}

std::string clippedText(bool clipHigh, bool clipLow) {
    return std::string("the trace is clipped at the ") +
           (clipHigh && clipLow ? "top and bottom"
            : clipHigh          ? "top"
                                : "bottom") +
           " of the range: choose more volts per division";
}

// Time above the middle in each whole period, in points, from each rising crossing to the
// falling one after it (the crossings alternate, so it lies before the next rising one).
double timeAboveMiddle(const Edges& e) {
    double highTime = 0.0;
    for (std::size_t k = 0; k + 1 < e.rising.size(); ++k) {
        const auto f = std::upper_bound(e.falling.begin(), e.falling.end(), e.rising[k]);
        highTime +=
            (f != e.falling.end() ? std::min(*f, e.rising[k + 1]) : e.rising[k + 1]) - e.rising[k];
    }
    return highTime;
}

struct Levels {
    double mean;
    double rms;
};

// Mean and RMS over whole periods when there are any, so that a part period does not pull
// them; otherwise over the whole capture. step: the converter step (0 when unknown).
Levels levels(std::span<const float> v, const Edges& e, double step) {
    std::size_t first = 0;
    std::size_t last = v.size();
    if (e.rising.size() >= 2) {
        first = static_cast<std::size_t>(std::ceil(e.rising.front()));
        last = static_cast<std::size_t>(std::ceil(e.rising.back()));
    }
    double sum = 0.0;
    double squares = 0.0;
    for (std::size_t i = first; i < last; ++i) {
        sum += v[i];
        squares += static_cast<double>(v[i]) * v[i];
    }
    const double count = static_cast<double>(last - first);
    // Averaging resolves finer than one converter step, but not by more than ten times: a
    // mean of microvolts from 28 mV steps would claim what the samples cannot know.
    const double mean =
        step > 0.0 ? std::round(sum / count / (step / 10.0)) * (step / 10.0) : sum / count;
    return {mean, std::sqrt(squares / count)};
}

} // namespace

AnalogMeasurements measureAnalog(const AnalogTrace& trace) {
    AnalogMeasurements m;
    const std::span<const float> v = trace.volts;
    const double dt = trace.secondsPerPoint;
    if (v.empty() || !std::isfinite(dt) || dt <= 0.0 ||
        !std::all_of(v.begin(), v.end(), [](float x) { return std::isfinite(x); })) {
        const Value none = Value::none("no capture to measure");
        m = {none, none, none, none, none, none, none, none, none, none};
        return m;
    }
    const auto [minIt, maxIt] = std::minmax_element(v.begin(), v.end());
    const double lo = *minIt;
    const double hi = *maxIt;
    // Half a converter step from either end counts as sitting on it.
    const double step = (trace.highRail - trace.lowRail) / 255.0;
    const bool rails = step > 0.0;
    const bool clipLow = rails && lo <= trace.lowRail + step / 2.0;
    const bool clipHigh = rails && hi >= trace.highRail - step / 2.0;
    const std::string clipped = clippedText(clipHigh, clipLow);

    m.maximum = clipHigh ? Value::none(clipped) : Value::of(hi);
    m.minimum = clipLow ? Value::none(clipped) : Value::of(lo);
    const bool clip = clipLow || clipHigh;
    m.peakToPeak = clip ? Value::none(clipped) : Value::of(hi - lo);

    const double flat = rails ? 2.0 * step : 0.0;
    const Edges e = hi - lo > flat ? middleCrossings(v, lo, hi) : Edges{};
    const std::size_t n = e.rising.size();
    if (hi - lo <= flat) {
        const Value none = Value::none("no edges: the trace is flat");
        m.frequency = m.period = m.duty = m.riseTime = m.fallTime = none;
    } else if (n < 2) {
        const Value none = Value::none("fewer than two rising edges in the capture");
        m.frequency = m.period = m.duty = none;
    } else {
        const double span = e.rising.back() - e.rising.front();
        const double period = span / static_cast<double>(n - 1) * dt;
        m.period = Value::of(period);
        m.frequency = Value::of(1.0 / period);
        const double highTime = timeAboveMiddle(e);
        m.duty = clip ? Value::none(clipped) : Value::of(highTime / span);
    }

    const Levels l = levels(v, e, rails ? step : 0.0);
    m.mean = clip ? Value::none(clipped) : Value::of(l.mean);
    m.rms = clip ? Value::none(clipped) : Value::of(l.rms);

    if (hi - lo > flat) {
        if (clip) {
            m.riseTime = m.fallTime = Value::none(clipped);
        } else {
            const EdgeTimes t = transitTimes(v, lo + 0.1 * (hi - lo), lo + 0.9 * (hi - lo));
            m.riseTime = edgeTime(t.rise, t.tooFastRise, dt, "rising");
            m.fallTime = edgeTime(t.fall, t.tooFastFall, dt, "falling");
        }
    }
    return m;
}

LogicMeasurements measureLogic(std::span<const LogicPoint> points, int line,
                               double secondsPerPoint) {
    LogicMeasurements m;
    if (line < 0 || line > 7 || points.empty() || !std::isfinite(secondsPerPoint) ||
        secondsPerPoint <= 0.0) {
        const Value none = Value::none("no capture to measure");
        m = {none, none, none};
        return m;
    }
    const auto bit = [&](std::size_t i) { return points[i][static_cast<std::size_t>(line)] != 0; };
    std::vector<std::size_t> rising;
    int pulses = 0;
    bool sawRise = false;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (!bit(i - 1) && bit(i)) {
            rising.push_back(i);
            sawRise = true;
        } else if (bit(i - 1) && !bit(i) && sawRise) {
            ++pulses;
            sawRise = false;
        }
    }
    m.pulses = Value::of(pulses);
    const std::string name = "D" + std::to_string(line);
    if (rising.size() < 2) {
        const Value none = Value::none(rising.empty() ? name + " never rises in the capture"
                                                      : "fewer than two rising edges on " + name);
        m.frequency = m.duty = none;
        return m;
    }
    const double span = static_cast<double>(rising.back() - rising.front());
    m.frequency = Value::of(static_cast<double>(rising.size() - 1) / (span * secondsPerPoint));
    std::size_t high = 0;
    for (std::size_t i = rising.front(); i < rising.back(); ++i) {
        high += bit(i) ? 1 : 0;
    }
    m.duty = Value::of(static_cast<double>(high) / span);
    return m;
}

} // namespace tracely::measure
