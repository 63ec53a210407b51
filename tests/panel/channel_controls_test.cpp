#include "tests/panel/panel_fixture.h"

#include <QSignalSpy>

namespace tracely::test {

TEST_F(PanelTest, EnablingBWhileOnlyAIsOnHandsEverythingToB) {
    s.bytCHaRange = 2;
    s.bytCHbRange = 1;
    plotSomething("CHa");
    p.CWBCHbEnable->setValue(true);
    EXPECT_FALSE(p.CWBCHaEnable->value() || p.CWChaLed->value());
    EXPECT_TRUE(p.CWChbLed->value());
    EXPECT_FALSE(p.CWSTrigInd->pointerVisible("CHa_Zero"));
    EXPECT_TRUE(p.CWSTrigInd->pointerVisible("CHb_Zero"));
    EXPECT_EQ(p.CWGraph1->plotCount("CHa"), 0);
    EXPECT_TRUE(p.CWBPriChan->value());
    EXPECT_EQ(cursorText(), "Cursors On: CH B");
    EXPECT_EQ(s.bytREG_R14, 0x99); // (2*16 | 1 | 0xC8) = 0xE9, low nibble copied up
    EXPECT_FALSE(p.CWGraph1->plotVisible("Trig"));
}

TEST_F(PanelTest, EnablingAWhileBIsOnRunsBsHandler) {
    p.CWBCHbEnable->setValue(true);
    plotSomething("CHb");
    routines.reset();
    p.CWBCHaEnable->setValue(true);
    EXPECT_FALSE(p.CWBCHbEnable->value() || p.CWChbLed->value());
    EXPECT_FALSE(p.CWSTrigInd->pointerVisible("CHb_Zero"));
    EXPECT_EQ(p.CWGraph1->plotCount("CHb"), 0);
    EXPECT_EQ(routines.scaleB, 1);
    EXPECT_FALSE(p.CWBPriChan->value());
    EXPECT_EQ(cursorText(), "Cursors On: CH A");
}

TEST_F(PanelTest, SwitchingTheOnlyChannelOffKeepsPrimaryAndCursorText) {
    p.CWBCHaEnable->setValue(false);
    EXPECT_FALSE(p.CWBCHbEnable->value() || p.CWBPriChan->value());
    EXPECT_EQ(cursorText(), "Cursors On: CH A");
    EXPECT_EQ(s.bytREG_R14, 0xFF); // 3*16 | 3 | 0x8C = 0xBF, low nibble copied up
    p.CWBCHbEnable->setValue(true);
    p.CWBCHbEnable->setValue(false);
    EXPECT_TRUE(p.CWBPriChan->value());
    EXPECT_EQ(cursorText(), "Cursors On: CH B");
}

TEST_F(PanelTest, PrimaryButtonFollowsTheEnabledChannelWithoutLooping) {
    QSignalSpy spy(p.CWBPriChan, &widgets::TwoStateButton::valueChanged);
    plotSomething("CHb");
    p.CWBPriChan->setValue(true); // B is off: back to A
    EXPECT_FALSE(p.CWBPriChan->value());
    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(p.CWGraph1->plotCount("CHb"), 0);
    p.CWBCHbEnable->setValue(true);
    plotSomething("CHa");
    p.CWBPriChan->setValue(false); // only B is on: back to B
    EXPECT_TRUE(p.CWBPriChan->value());
    EXPECT_EQ(p.CWGraph1->plotCount("CHa"), 0);
}

TEST_F(PanelTest, PodInputSwitchesX10OffAndDisablesIt) {
    p.chkAsource->setChecked(true);
    EXPECT_EQ(p.chkAsource->text(), "POD");
    EXPECT_EQ(s.bytREG_R7 & 8, 8);
    EXPECT_FALSE(p.CWBCHAx10->value() || p.CWBCHBx10->value() || p.CWBCHAx10Led->value());
    EXPECT_FALSE(p.CWBCHAx10->isEnabled() || p.CWBCHBx10->isEnabled());
    p.chkAsource->setChecked(false);
    EXPECT_EQ(p.chkAsource->text(), "BNC");
    EXPECT_EQ(s.bytREG_R7 & 8, 0);
    EXPECT_FALSE(p.CWBCHAx10->value() || p.CWBCHBx10->value()); // left off
    EXPECT_TRUE(p.CWBCHAx10->isEnabled() && p.CWBCHBx10->isEnabled());
}

TEST_F(PanelTest, OffsetSlideAndCal) {
    p.CWSCHbOffset->setValue(1.5);
    EXPECT_EQ(s.sngCHbOffset, 1.5f);
    EXPECT_TRUE(p.CWBChbCalLed->value());
    EXPECT_EQ(marker("CHb_Zero"), 1.5);
    p.CWSCHbOffset->setValue(0);
    EXPECT_FALSE(p.CWBChbCalLed->value());
    p.CWSCHaOffset->setValue(-0.25);
    EXPECT_TRUE(p.CWBChaCalLed->value());
    routines.reset();
    p.CWBCHaCal->setValue(true);
    EXPECT_EQ(s.sngCHaOffset, 0.0f);
    EXPECT_FALSE(p.CWBChaCalLed->value());
    EXPECT_EQ(routines.scaleA, 1);
}

TEST_F(PanelTest, LedsFollowTheirButtonsAndOnlyChannelARedrawsOnEnable) {
    p.CWBCHAx10->setValue(false);
    EXPECT_FALSE(p.CWBCHAx10Led->value());
    p.CWBCHBInv->setValue(true);
    EXPECT_TRUE(p.CWBCHBInvLed->value());
    routines.reset();
    controls.channelEnableChanged(Channel::B, false);
    EXPECT_EQ(routines.plotAnalog, 0);
    controls.channelEnableChanged(Channel::A, true);
    EXPECT_EQ(routines.plotAnalog, 1);
}

} // namespace tracely::test
