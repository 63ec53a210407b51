#include "src/ui/elastic.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tracely {

std::string_view propertyName(ElasticForm::Property p) {
    using P = ElasticForm::Property;
    switch (p) {
    case P::Top:
        return "Top";
    case P::Left:
        return "Left";
    case P::Height:
        return "Height";
    case P::Width:
        return "Width";
    case P::FontSize:
        return "FontSize";
    case P::RightMargin:
        return "RightMargin";
    case P::X1:
        return "X1";
    case P::Y1:
        return "Y1";
    case P::X2:
        return "X2";
    case P::Y2:
        return "Y2";
    }
    return {};
}

namespace elastic {

namespace {
// Any double to a 32-bit whole number by `round`, NaN as 0, beyond the range held at its end.
template <class Round> std::int32_t whole(double v, Round round) {
    if (std::isnan(v)) {
        return 0;
    }
    const double r = round(v);
    if (r <= double{INT32_MIN}) {
        return INT32_MIN;
    }
    if (r >= double{INT32_MAX}) {
        return INT32_MAX;
    }
    return static_cast<std::int32_t>(r);
}

} // namespace

std::int32_t rounded(double v) {
    return whole(v, [](double x) { return std::nearbyint(x); });
}

std::optional<Ratios> ratios(double h0, double w0, double height, double width) {
    const Ratios r{(h0 - kUnscaledHeight) / (height - kUnscaledHeight), w0 / width};
    const auto usable = [](double x) { return std::isfinite(x) && x > 0.0; };
    if (!usable(r.rH) || !usable(r.rW)) {
        return std::nullopt;
    }
    return r;
}

std::int32_t scaled(double recorded, double ratio) {
    return whole(recorded / ratio, [](double x) { return std::floor(x); });
}

std::int32_t fontSize(double recorded, double rW) {
    const std::int32_t f = scaled(recorded, rW);
    // The next even size at or above f; an odd INT32_MAX stays where it is.
    return (f % 2 != 0 && f < INT32_MAX) ? f + 1 : f;
}

Size snapBack(double h0, double w0, Size now) {
    if (now.height < h0 / 2.0) {
        now.height = h0 / 2.0;
    }
    if (now.width < w0 / 2.0) {
        now.width = w0 / 2.0;
    }
    return now;
}

Size keepMinimum(ElasticForm::State state, Size now) {
    if (state == ElasticForm::State::Minimised || state == ElasticForm::State::Maximised) {
        return now;
    }
    if (now.width < kMinimumWidth) {
        now.width = kMinimumWidth;
    }
    if (now.height < kMinimumHeight) {
        now.height = kMinimumHeight;
    }
    return now;
}

} // namespace elastic

namespace {
using P = ElasticForm::Property;
constexpr std::array<P, 6> kBox{P::Top, P::Left, P::Height, P::Width, P::FontSize, P::RightMargin};
constexpr std::array<P, 4> kLine{P::Y1, P::X1, P::Y2, P::X2};
} // namespace

void class_Elastic::Init(ElasticForm& frm, bool nWindState) {
    const int count = std::max(frm.controlCount(), 0);
    justInitialised_ = true;
    records_.assign(static_cast<std::size_t>(count), Record{});
    for (int i = 0; i < count; ++i) {
        Record& r = records_[static_cast<std::size_t>(i)];
        const bool line = frm.isLine(i);
        const std::size_t n = line ? kLine.size() : kBox.size();
        for (std::size_t k = 0; k < n; ++k) {
            // A property the control lacks leaves its entry 0.
            if (const auto v = frm.property(i, line ? kLine[k] : kBox[k])) {
                r[k] = elastic::rounded(*v);
            }
        }
    }
    if (frm.windowState() == ElasticForm::State::Maximised || nWindState) {
        frm.setHeight(elastic::rounded(frm.screenHeight()));
        frm.setWidth(elastic::rounded(frm.screenWidth()));
    }
    h0_ = elastic::rounded(frm.height());
    w0_ = elastic::rounded(frm.width());
    justInitialised_ = true;
}

void class_Elastic::FormResize(ElasticForm& frm) {
    const bool redraw = frm.autoRedraw();
    frm.setAutoRedraw(true);
    if (justInitialised_) {
        justInitialised_ = false;
        return;
    }
    const elastic::Size now{frm.height(), frm.width()};
    const elastic::Size snapped = elastic::snapBack(h0_, w0_, now);
    if (snapped.height != now.height) {
        frm.setHeight(elastic::rounded(snapped.height));
    }
    if (snapped.width != now.width) {
        frm.setWidth(elastic::rounded(snapped.width));
    }
    const auto r = elastic::ratios(h0_, w0_, frm.height(), frm.width());
    const int count = std::min(recordedCount(), frm.controlCount());
    for (int i = 0; r && i < count; ++i) {
        const Record& a = records_[static_cast<std::size_t>(i)];
        if (frm.isLine(i)) {
            frm.setProperty(i, P::Y1, elastic::scaled(a[0], r->rH));
            frm.setProperty(i, P::X1, elastic::scaled(a[1], r->rW));
            frm.setProperty(i, P::Y2, elastic::scaled(a[2], r->rH));
            frm.setProperty(i, P::X2, elastic::scaled(a[3], r->rW));
            continue;
        }
        frm.setProperty(i, P::Top, elastic::scaled(a[0], r->rH));
        frm.setProperty(i, P::Left, elastic::scaled(a[1], r->rW));
        frm.setProperty(i, P::Height, elastic::scaled(a[2], r->rH));
        frm.setProperty(i, P::Width, elastic::scaled(a[3], r->rW));
        frm.setProperty(i, P::FontSize, elastic::fontSize(a[4], r->rW));
        frm.setProperty(i, P::RightMargin, elastic::scaled(a[5], r->rH));
    }
    frm.setAutoRedraw(redraw);
}

void Form_Resize(ElasticForm& frm, std::unique_ptr<class_Elastic>& layout, bool blnLayoutInit) {
    const elastic::Size now{frm.height(), frm.width()};
    const elastic::Size kept = elastic::keepMinimum(frm.windowState(), now);
    if (kept.width != now.width) {
        frm.setWidth(elastic::rounded(kept.width));
    }
    if (kept.height != now.height) {
        frm.setHeight(elastic::rounded(kept.height));
    }
    if (!blnLayoutInit) {
        if (!layout) {
            layout = std::make_unique<class_Elastic>();
        }
        layout->FormResize(frm);
    }
}

} // namespace tracely
