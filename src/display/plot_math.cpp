#include "src/display/plot_math.h"

namespace tracely::display {

float plotStep(float timeAdj, std::int32_t timeScale) {
    return timeAdj * static_cast<float>(timeScale);
}

double plotBase(float trigPos, int trigIndex, float step) {
    return static_cast<double>(trigPos) -
           static_cast<double>(trigIndex - 1) * static_cast<double>(step);
}

std::vector<double> analogY(const std::vector<float>& volts, float scale, bool inverted,
                            float offset) {
    std::vector<double> y;
    y.reserve(volts.size());
    for (const float v : volts) {
        const float divisions = v * scale;
        y.push_back(static_cast<double>((inverted ? -divisions : divisions) + offset));
    }
    return y;
}

std::vector<double> logicMatrix(const std::vector<LogicPoint>& points) {
    std::vector<double> y;
    y.reserve(points.size() * kLogicLines);
    for (const LogicPoint& point : points) {
        for (int k = 0; k < kLogicLines; ++k) {
            y.push_back(point[static_cast<std::size_t>(k)] * 0.5 + k);
        }
    }
    return y;
}

double panStep(double last, double v) {
    if (last == 10.0 && v == 1.0) {
        return kPanQuantum; // wrapped past the top
    }
    if (last == 1.0 && v == 10.0) {
        return -kPanQuantum; // wrapped past the bottom
    }
    if (v == last) {
        return 0.0;
    }
    return v > last ? kPanQuantum : -kPanQuantum;
}

} // namespace tracely::display
