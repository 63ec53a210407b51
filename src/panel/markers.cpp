#include "src/panel/controls.h"

#include "src/core/front_panel_state.h"
#include "src/widgets/knob.h"
#include "src/widgets/slide.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QRadioButton>

#include <cstdint>

namespace tracely {

using widgets::Slide;

void Controls::PlaceMarkers() {
    Slide* markers = p_.CWSTrigInd;
    const bool bPrimary = p_.CWBPriChan->value();
    const float adj = bPrimary ? s_.sngCHbAdj : s_.sngCHaAdj;
    const float scale = bPrimary ? s_.sngCHbScale : s_.sngCHaScale;
    const float offset = bPrimary ? s_.sngCHbOffset : s_.sngCHaOffset;
    const bool inverted = (bPrimary ? p_.CWBCHBInv : p_.CWBCHAInv)->value();

    if (p_.chkTrigSource->isChecked()) {
        // A logic word has no level on the analog trace.
        markers->setPointerVisible(QStringLiteral("TrigLvl"), false);
    } else {
        // Distance from mid-scale in converter steps, from the registers the instrument gets,
        // not from the raw knob.
        std::int16_t d = 0;
        if (p_.optTrigLVL->isChecked() || p_.CWKTrigLvl->value() >= 128.0) {
            d = static_cast<std::int16_t>(s_.bytREG_R5 - 128);
        } else {
            d = static_cast<std::int16_t>(-(127 - s_.bytREG_R6));
        }
        markers->setPointerVisible(QStringLiteral("TrigLvl"), true);
        const float span = static_cast<float>(d) * adj * scale;
        markers->setPointerValue(QStringLiteral("TrigLvl"),
                                 inverted ? -span + offset : span + offset);
    }
    markers->setPointerValue(QStringLiteral("CHa_Zero"), p_.CWSCHaOffset->value());
    markers->setPointerValue(QStringLiteral("CHb_Zero"), p_.CWSCHbOffset->value());
}

} // namespace tracely
