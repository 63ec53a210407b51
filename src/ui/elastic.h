#pragma once

#include "src/ui/elastic_form.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace tracely {

// The arithmetic of the elastic layout, as plain functions.
namespace elastic {

// Of the window's height, this many twips (title bar and frame) are not scaled.
inline constexpr double kUnscaledHeight = 400.0;

struct Ratios {
    double rH = 1.0; // recorded height over present height, less the unscaled strip
    double rW = 1.0; // recorded width over present width
};

// rH = (h0 - 400) / (height - 400), rW = w0 / width. Nothing when a ratio would not be a
// positive, finite number (nothing recorded, or a window no higher than the unscaled strip):
// the controls are then left alone.
std::optional<Ratios> ratios(double h0, double w0, double height, double width);

// A measure as recorded: the nearest whole number (halves to even), held within 32 bits.
std::int32_t rounded(double v);

// Int(recorded / ratio): the largest whole number not above it, held within 32 bits.
std::int32_t scaled(double recorded, double ratio);

// The font size for a recorded size: Int(recorded / rW), raised to the next even size.
std::int32_t fontSize(double recorded, double rW);

// The size a window must be given back when made smaller than half its recorded size: each
// measure at least half its recorded value.
struct Size {
    double height = 0.0;
    double width = 0.0;
};
Size snapBack(double h0, double w0, Size now);

// The main window's own minimum: a restored window is kept at least this large; a minimised
// or maximised one is never resized by the rule.
inline constexpr double kMinimumWidth = 12000.0;
inline constexpr double kMinimumHeight = 9000.0;
Size keepMinimum(ElasticForm::State state, Size now);

} // namespace elastic

// Makes a window's contents grow and shrink with the window. Init records the geometry of every
// control; FormResize puts every control back in proportion to the window's new size. Vertical
// measures follow the height, horizontal ones and font sizes the width.
class class_Elastic {
public:
    // Records the window as it is now. `nWindState`: as if the window were maximised, it is
    // first made as large as the screen.
    void Init(ElasticForm& frm, bool nWindState = false);
    // Re-lays out the window; call it from the window's resize event.
    void FormResize(ElasticForm& frm);

    double initialHeight() const { return h0_; }
    double initialWidth() const { return w0_; }
    int recordedCount() const { return static_cast<int>(records_.size()); }

private:
    // Top, Left, Height, Width, FontSize, RightMargin; for a line Y1, X1, Y2, X2, 0, 0.
    using Record = std::array<std::int32_t, 6>;

    std::int32_t h0_ = 0;
    std::int32_t w0_ = 0;
    std::vector<Record> records_;
    bool justInitialised_ = false;
};

// The main window's resize event. A restored window is kept at least 12000 x 9000 twips (a
// minimised or maximised one is the window system's to size); then, unless the layout is being
// recorded at this moment, the elastic layout, made on first use, re-lays out the window.
void Form_Resize(ElasticForm& frm, std::unique_ptr<class_Elastic>& layout, bool blnLayoutInit);

} // namespace tracely
