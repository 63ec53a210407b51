#include "src/widgets/scale_model.h"

#include <algorithm>
#include <cmath>

namespace tracely::widgets {

namespace {

// Grids finer than this many positions behave as a free pointer: nobody can tell them apart,
// and position counts stay far inside what a double counts exactly.
constexpr double kMaxGrid = 1e9;
// Relative slack for spans that are a whole number of steps up to rounding.
constexpr double kSlack = 1e-9;

} // namespace

bool ScaleModel::setRange(double min, double max) {
    if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(max - min)) {
        return false;
    }
    if (min > max) {
        std::swap(min, max);
    }
    min_ = min;
    max_ = max;
    return true;
}

bool ScaleModel::setStep(double step) {
    if (!std::isfinite(step) || step < 0.0) {
        return false;
    }
    step_ = step;
    return true;
}

double ScaleModel::spacing() const {
    const double s = span();
    if (s <= 0.0) {
        return 0.0;
    }
    double candidate = 0.0;
    if (step_ > 0.0) {
        candidate = step_;
    } else if (labels_ >= 2) {
        candidate = s / (labels_ - 1);
    }
    if (candidate <= 0.0 || s / candidate > kMaxGrid) {
        return 0.0;
    }
    return candidate;
}

double ScaleModel::gridCount() const {
    const double s = spacing();
    if (s <= 0.0) {
        return 0.0;
    }
    return std::floor(span() / s + kSlack) + 1.0;
}

double ScaleModel::snap(double v) const {
    if (!std::isfinite(v)) {
        return min_;
    }
    const double c = std::clamp(v, min_, max_);
    const double s = spacing();
    if (s <= 0.0) {
        return c;
    }
    const double k = std::min(std::round((c - min_) / s), gridCount() - 1.0);
    return std::min(min_ + k * s, max_);
}

double ScaleModel::circleSpan() const {
    const double s = spacing();
    return s > 0.0 ? gridCount() * s : span();
}

double ScaleModel::wrapOnCircle(double v) const {
    const double cs = circleSpan();
    if (!std::isfinite(v) || cs <= 0.0) {
        return min_;
    }
    double d = std::fmod(v - min_, cs);
    if (d < 0.0) {
        d += cs;
    }
    if (d >= cs) {
        d = 0.0;
    }
    return min_ + d;
}

double ScaleModel::snapOnCircle(double v) const {
    const double s = spacing();
    if (!wrap_) {
        return snap(v);
    }
    if (s <= 0.0) {
        return std::min(wrapOnCircle(v), max_);
    }
    double k = std::round((wrapOnCircle(v) - min_) / s);
    if (k >= gridCount()) {
        k = 0.0;
    }
    return std::min(min_ + k * s, max_);
}

double ScaleModel::stepFrom(double v, int steps) const {
    if (span() <= 0.0) {
        return min_;
    }
    const double s = spacing();
    if (s <= 0.0) {
        const double moved = snap(v) + steps * (span() / 100.0);
        return wrap_ ? std::min(wrapOnCircle(moved), max_) : std::clamp(moved, min_, max_);
    }
    const double count = gridCount();
    const double k = std::clamp(std::round((snap(v) - min_) / s), 0.0, count - 1.0);
    double n = k + steps;
    if (wrap_) {
        n = std::fmod(n, count);
        if (n < 0.0) {
            n += count;
        }
    } else {
        n = std::clamp(n, 0.0, count - 1.0);
    }
    return std::min(min_ + n * s, max_);
}

int ScaleModel::pageSteps() const {
    const double count = gridCount();
    if (count <= 0.0) {
        return 10;
    }
    return static_cast<int>(std::max(1.0, std::round(std::min(count, 1e6) / 10.0)));
}

double ScaleModel::labelValue(int i, int n) const {
    if (n <= 1 || i <= 1) {
        return min_;
    }
    if (i >= n) {
        return max_;
    }
    return min_ + (i - 1) * (span() / (n - 1));
}

int ScaleModel::nearestLabel(double v, int n) const {
    if (n <= 0) {
        return 0;
    }
    if (n == 1 || span() <= 0.0 || !std::isfinite(v)) {
        return 1;
    }
    const double c = std::clamp(v, min_, max_);
    const double k = std::clamp(std::round((c - min_) / (span() / (n - 1))), 0.0, n - 1.0);
    return static_cast<int>(k) + 1;
}

std::vector<double> ScaleModel::niceTicks(int maxCount) const {
    maxCount = std::max(maxCount, 2);
    if (span() <= 0.0) {
        return {min_};
    }
    std::vector<double> ticks;
    const double count = gridCount();
    if (count >= 2.0 && count <= 4.0 * maxCount) {
        // A coarse grid: label grid positions, so every label is a place the pointer can rest.
        const double every = std::ceil((count - 1.0) / (maxCount - 1));
        for (double k = 0.0; k < count; k += every) {
            ticks.push_back(min_ + k * spacing());
        }
        return ticks;
    }
    const double raw = span() / (maxCount - 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10.0 * magnitude;
    for (const double m : {1.0, 2.0, 2.5, 5.0}) {
        if (m * magnitude >= raw * (1.0 - kSlack)) {
            step = m * magnitude;
            break;
        }
    }
    const double first = std::ceil(min_ / step - kSlack);
    for (int k = 0; k <= maxCount + 1; ++k) {
        double x = (first + k) * step;
        if (x > max_ + step * kSlack) {
            break;
        }
        if (std::abs(x) < step * kSlack) {
            x = 0.0; // no "-0" labels
        }
        ticks.push_back(x);
    }
    return ticks;
}

} // namespace tracely::widgets
