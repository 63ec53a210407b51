#include "tests/display/panel_fixture.h"

#include "src/widgets/knob.h"
#include "src/widgets/slide.h"

#include <QCheckBox>

using tracely::test::PanelTest;

namespace {
using Scales = PanelTest;
} // namespace

TEST_F(Scales, X10SwitchKeepsThePositionAndChangesRangeAdjustmentAndScale) {
    panel.CWBCHAx10->setValue(true);
    display.SetCHaScale();
    panel.CWKChaLvl->setSelectedLabel(3);
    panel.CWSCHaOffset->setValue(1.5);
    int knobEvents = 0;
    QObject::connect(panel.CWKChaLvl, &tracely::widgets::Knob::valueChanged, [&] { ++knobEvents; });
    routines.calls.clear();

    display.SetCHaScale();
    EXPECT_EQ(panel.CWKChaLvl->labelText(3), "10 ");
    EXPECT_EQ(panel.CWKChaLvl->labelValue(3), 10.0);
    EXPECT_EQ(state.bytCHaRange, 1);
    EXPECT_EQ(state.sngCHaAdj, 0.047058824f);
    EXPECT_EQ(state.sngCHaScale, 0.1f);
    EXPECT_EQ(state.sngCHaOffset, 1.5f);
    EXPECT_TRUE(panel.CWBCHAx10Led->value());
    EXPECT_EQ(routines.calls,
              (std::vector<std::string>{"primaryChannelChanged", "DisplayCursorData"}));

    panel.CWBCHAx10->setValue(false);
    display.SetCHaScale();
    EXPECT_EQ(panel.CWKChaLvl->selectedLabel(), 3);
    EXPECT_EQ(panel.CWKChaLvl->labelText(3), ".1 ");
    EXPECT_EQ(state.sngCHaAdj, 0.0047058822f);
    EXPECT_EQ(state.sngCHaScale, 10.0f);
    EXPECT_FALSE(panel.CWBCHAx10Led->value());
    EXPECT_EQ(knobEvents, 0); // relabelling never moves the knob
}

TEST_F(Scales, PodOnChannelBLeavesChannelAAndTheX10Led) {
    panel.chkAsource->setChecked(true);
    panel.CWBCHBx10Led->setValue(true); // as a BNC x10 setting left it
    state.sngCHaScale = 0.05f;
    display.SetCHbScale();
    panel.CWKChbLvl->setSelectedLabel(1);
    display.SetCHbScale();
    EXPECT_EQ(panel.CWKChbLvl->labelText(1), "5 ");
    EXPECT_EQ(state.bytCHbRange, 3);
    EXPECT_EQ(state.sngCHbAdj, 0.123921566f);
    EXPECT_EQ(state.sngCHbScale, 0.2f);
    EXPECT_EQ(state.sngCHaScale, 0.05f);
    EXPECT_TRUE(panel.CWBCHBx10Led->value());
}
