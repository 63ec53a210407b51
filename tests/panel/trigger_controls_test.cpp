#include "tests/panel/panel_fixture.h"

#include <tuple>

namespace tracely::test {

namespace {
QStringList captions(const FrontPanel& p) {
    QStringList out{p.chkTrigSource->text(), p.optTrigRE->text(), p.optTrigFE->text(),
                    p.optTrigLVL->text()};
    for (QPushButton* b : p.cmdTrigB) {
        out << b->text();
    }
    return out;
}
} // namespace

TEST_F(PanelTest, SourceSwitchResetsWordModeAndKnob) {
    p.optTrigRE->setChecked(true); // the knob goes onto the edge scale
    p.chkTrigSource->setChecked(true);
    EXPECT_EQ(std::tie(s.bytREG_R5, s.bytREG_R6), std::make_tuple(0, 255));
    EXPECT_EQ(s.bytREG_R7 & 0x31, 0); // logic source, level code
    EXPECT_EQ(captions(p), QStringList({"D", "F=>T", "T=>F", "<=>"}) + QStringList(8, "X"));
    EXPECT_TRUE(p.cmdTrigB[0]->isEnabled() && p.cmdTrigB[7]->isEnabled());
    EXPECT_TRUE(p.optTrigLVL->isChecked());
    EXPECT_FALSE(p.optTrigRE->isEnabled() || p.optTrigFE->isEnabled());
    EXPECT_FALSE(p.CWKTrigLvl->isEnabled());
    EXPECT_EQ(p.CWKTrigLvl->value(), p.CWKTrigLvl->minimum()); // 0 asked, clamped
    EXPECT_FALSE(p.CWGraph1->plotVisible("Trig"));

    // Back to analog: the knob returns to the level scale it left for the edge one.
    p.chkTrigSource->setChecked(false);
    EXPECT_EQ(captions(p), QStringList({"A", "+", "-", "Level"}) + QStringList(8, "X"));
    EXPECT_TRUE(p.CWKTrigLvl->isEnabled() && p.optTrigRE->isEnabled());
    EXPECT_FALSE(p.cmdTrigB[0]->isEnabled());
    EXPECT_EQ(std::make_tuple(p.CWKTrigLvl->minimum(), p.CWKTrigLvl->step(), p.CWKTrigLvl->value()),
              std::make_tuple(16.0, 16.0, 16.0));
    EXPECT_EQ(std::make_tuple(s.bytREG_R5, s.bytREG_R6, s.bytREG_R7 & 1),
              std::make_tuple(16, 0, 1));
}

TEST_F(PanelTest, WordButtonCyclesAndEdgesNeedACaredBit) {
    p.chkTrigSource->setChecked(true);
    p.cmdTrigB[3]->click();
    EXPECT_EQ(p.cmdTrigB[3]->text(), "1");
    EXPECT_EQ(std::tie(s.bytREG_R5, s.bytREG_R6), std::make_tuple(8, 255 - 8));
    EXPECT_TRUE(p.optTrigRE->isEnabled() && p.optTrigFE->isEnabled());
    p.optTrigFE->setChecked(true);
    EXPECT_EQ(std::make_tuple(s.bytREG_R5, mode()), std::make_tuple(8, 0x30)); // word kept
    p.cmdTrigB[3]->click();
    EXPECT_EQ(p.cmdTrigB[3]->text(), "0");
    p.cmdTrigB[3]->click();
    EXPECT_EQ(p.cmdTrigB[3]->text(), "X");
    EXPECT_EQ(std::tie(s.bytREG_R5, s.bytREG_R6), std::make_tuple(0, 255));
    EXPECT_FALSE(p.optTrigRE->isEnabled() || p.optTrigFE->isEnabled());
    EXPECT_TRUE(p.optTrigLVL->isChecked());
    EXPECT_EQ(mode(), 0);
    controls.CycleTrigBit(8); // no such bit
    EXPECT_EQ(s.bytREG_R6, 255);
}

TEST_F(PanelTest, AnalogEdgeAndLevelRegisters) {
    const auto regs = [this] { return std::make_tuple(s.bytREG_R5, s.bytREG_R6, mode()); };
    p.CWKTrigLvl->setValue(176);
    p.optTrigRE->setChecked(true);
    EXPECT_EQ(p.CWKTrigLvl->value(), 128); // not an edge threshold: to the middle one
    p.CWKTrigLvl->setValue(192);
    EXPECT_EQ(regs(), std::make_tuple(192, 63, 0x20));
    p.CWKTrigLvl->setValue(64);
    EXPECT_EQ(regs(), std::make_tuple(0, 63, 0x30));
    p.optTrigFE->setChecked(true);
    EXPECT_EQ(p.CWKTrigLvl->value(), 64); // a threshold already: kept
    EXPECT_EQ(mode(), 0x20);
    p.CWKTrigLvl->setValue(192);
    EXPECT_EQ(mode(), 0x30);
    p.optTrigLVL->setChecked(true); // from 192 to the bottom
    EXPECT_EQ(p.CWKTrigLvl->value(), 16);
    p.CWKTrigLvl->setValue(128);
    p.optTrigRE->setChecked(true);
    p.optTrigLVL->setChecked(true); // 128 stays
    EXPECT_EQ(regs(), std::make_tuple(128, 0, 0));
}

TEST_F(PanelTest, TriggerHandlersUpdateOnlyWhileArmedAndOncePerAction) {
    const auto updatesOf = [this](auto action) {
        routines.reset();
        action();
        return routines.update;
    };
    const auto source = [this](bool logic) {
        return [this, logic] { p.chkTrigSource->setChecked(logic); };
    };
    const auto word = [this] { p.cmdTrigB[5]->click(); };
    const auto setRegs = [this] { controls.SetTrigRegisters(); };
    const auto edge = [this] { p.optTrigFE->setChecked(true); };
    const auto knob = [this] { p.CWKTrigLvl->setValue(p.CWKTrigLvl->value() == 64 ? 192 : 64); };
    const auto channel = [this] { p.CWBCHbEnable->setValue(!p.CWBCHbEnable->value()); };
    for (bool armed : {false, true}) {
        s.blnArmed = armed;
        const int once = armed ? 1 : 0;
        EXPECT_EQ(updatesOf(source(true)), once);
        EXPECT_EQ(updatesOf(word), once);
        EXPECT_EQ(updatesOf(word), once);
        EXPECT_EQ(updatesOf(setRegs), once);
        EXPECT_EQ(updatesOf(source(false)), once);
        EXPECT_EQ(updatesOf(edge), once);
        EXPECT_EQ(updatesOf(knob), once);
        EXPECT_EQ(updatesOf(channel), 0);
    }
}

} // namespace tracely::test
