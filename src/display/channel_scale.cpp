// The channels' vertical scales: knob labels and the numbers that follow from them.
#include "src/display/display.h"

#include "src/instrument/scale_tables.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>

#include <algorithm>
#include <limits>

namespace tracely {

namespace {

// The slides' ranges are small, but a double outside float's range must never be converted.
float toSingle(double v) {
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(v, -kMax, kMax));
}

} // namespace

void Display::SetCHaScale() {
    setScale({p_.CWBCHAx10, p_.CWBCHAx10Led, p_.CWKChaLvl, p_.CWSCHaOffset, s_.bytCHaRange,
              s_.sngCHaAdj, s_.sngCHaScale, s_.sngCHaOffset});
}

void Display::SetCHbScale() {
    setScale({p_.CWBCHBx10, p_.CWBCHBx10Led, p_.CWKChbLvl, p_.CWSCHbOffset, s_.bytCHbRange,
              s_.sngCHbAdj, s_.sngCHbScale, s_.sngCHbOffset});
}

void Display::setScale(const ScaleControls& c) {
    // The pod input has no probe: its table ignores x10, and the LED keeps what it showed.
    scales::Input input = scales::Input::Pod;
    if (!p_.chkAsource->isChecked()) {
        const bool x10 = c.x10->value();
        c.x10Led->setValue(x10);
        input = x10 ? scales::Input::BncX10 : scales::Input::BncX1;
    }
    const scales::ScaleTable& table = scales::table(input);

    c.knob->clearLabels();
    for (const scales::ScaleRow& row : table) {
        const int i = c.knob->appendLabel();
        c.knob->setLabelText(i, QString::fromLatin1(row.label));
        c.knob->setLabelValue(i, row.value);
    }

    const int n = c.knob->selectedLabel();
    if (n >= 1 && n <= static_cast<int>(table.size())) {
        const scales::ScaleRow& row = table[static_cast<std::size_t>(n - 1)];
        c.range = row.rangeCode;
        c.adj = row.adj;
        c.scale = row.scale;
    }
    c.offset = toSingle(c.offsetSlide->value());

    // R14 carries the primary channel's range code.
    controls_->primaryChannelChanged();
    DisplayCursorData();
}

} // namespace tracely
