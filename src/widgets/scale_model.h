#pragma once

#include <vector>

namespace tracely::widgets {

// The arithmetic of a knob or slide scale, free of any widget: range, the grid the pointer
// snaps to, stepping (clamped or wrapping), and the labelled positions spread over the scale.
//
// The grid is the explicit step when one is set (> 0). With step 0 the pointer snaps to the
// labelled positions when there are at least two of them, and moves freely otherwise.
class ScaleModel {
public:
    double minimum() const { return min_; }
    double maximum() const { return max_; }
    double span() const { return max_ - min_; }
    double step() const { return step_; }
    bool wrapping() const { return wrap_; }
    int labelPositions() const { return labels_; }

    // Non-finite bounds are refused (returns false); reversed bounds are swapped.
    bool setRange(double min, double max);
    // Non-finite or negative steps are refused; 0 means "no explicit step".
    bool setStep(double step);
    void setWrapping(bool on) { wrap_ = on; }
    void setLabelPositions(int count) { labels_ = count < 0 ? 0 : count; }

    // Spacing of the snap grid, 0 when the pointer moves freely.
    double spacing() const;
    // Number of grid positions from the minimum up to the last one within the range
    // (0 when the pointer moves freely).
    double gridCount() const;

    // Clamps into the range and snaps onto the grid. Non-finite input gives the minimum.
    double snap(double v) const;
    // Like snap(), but for a wrapping scale seen as a circle: a value past the last grid
    // position continues at the minimum.
    double snapOnCircle(double v) const;
    // The length of scale that makes one full turn of a wrapping dial: one spacing more than
    // the last grid position, so the last position and the minimum sit one step apart.
    double circleSpan() const;
    // Brings any value onto [min, min + circleSpan()).
    double wrapOnCircle(double v) const;

    // Moves `steps` grid positions (or hundredths of the range when free) from v; clamps at
    // the ends, or continues at the other end when wrapping.
    double stepFrom(double v, int steps) const;
    // Grid positions moved by PageUp / PageDown: about a tenth of the scale, at least one.
    int pageSteps() const;

    // Position i (1-based) of n labels, equally spaced over the range.
    double labelValue(int i, int n) const;
    // 1-based index of the labelled position nearest to v, 0 without labels.
    int nearestLabel(double v, int n) const;

    // Evenly spaced "nice" values (1, 2, 2.5, 5 times a power of ten) inside the range, used
    // for numeric scale labels: at most about maxCount of them.
    std::vector<double> niceTicks(int maxCount) const;

private:
    double min_ = 0.0;
    double max_ = 10.0;
    double step_ = 0.0;
    int labels_ = 0;
    bool wrap_ = false;
};

} // namespace tracely::widgets
