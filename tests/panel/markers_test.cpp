#include "tests/panel/panel_fixture.h"

namespace tracely::test {

namespace {
// Where a distance of d converter steps lands on a channel's scale, in single precision.
float at(int d, float adj, float scale, float offset, bool inverted = false) {
    const float span = static_cast<float>(d) * adj * scale;
    return inverted ? -span + offset : span + offset;
}
} // namespace

class MarkersTest : public PanelTest {
protected:
    MarkersTest() {
        s.sngCHaAdj = 0.047058824f;
        s.sngCHaScale = 0.1f;
        s.sngCHbAdj = 0.0094117643f;
        s.sngCHbScale = 5.0f;
        p.CWSCHaOffset->setValue(0.5);
        p.CWSCHbOffset->setValue(-1.25);
    }
};

TEST_F(MarkersTest, LevelTriggerOnThePrimaryChannel) {
    EXPECT_TRUE(p.CWSTrigInd->pointerVisible("TrigLvl"));
    EXPECT_FLOAT_EQ(marker("TrigLvl"), 0.5f); // level 128 sits on the offset
    p.CWBCHAInv->setValue(true);
    p.CWKTrigLvl->setValue(192);
    EXPECT_FLOAT_EQ(marker("TrigLvl"), at(64, 0.047058824f, 0.1f, 0.5f, true));
    p.CWKTrigLvl->setValue(16);
    EXPECT_FLOAT_EQ(marker("TrigLvl"), at(-112, 0.047058824f, 0.1f, 0.5f, true));

    p.CWBCHbEnable->setValue(true); // B becomes primary: its scale, offset and inversion
    EXPECT_FLOAT_EQ(marker("TrigLvl"), at(-112, 0.0094117643f, 5.0f, -1.25f));
}

TEST_F(MarkersTest, EdgeTriggerDistances) {
    p.optTrigRE->setChecked(true);
    EXPECT_FLOAT_EQ(marker("TrigLvl"), 0.5f); // knob 128
    p.CWKTrigLvl->setValue(192);
    EXPECT_FLOAT_EQ(marker("TrigLvl"), at(64, 0.047058824f, 0.1f, 0.5f));
    p.CWKTrigLvl->setValue(64);
    EXPECT_FLOAT_EQ(marker("TrigLvl"), at(-64, 0.047058824f, 0.1f, 0.5f));
    p.optTrigFE->setChecked(true);
    EXPECT_FLOAT_EQ(marker("TrigLvl"), at(-64, 0.047058824f, 0.1f, 0.5f));
}

TEST_F(MarkersTest, LogicSourceHidesTheLevelButNotTheZeros) {
    p.chkTrigSource->setChecked(true);
    EXPECT_FALSE(p.CWSTrigInd->pointerVisible("TrigLvl"));
    p.CWSCHaOffset->setValue(2);
    EXPECT_DOUBLE_EQ(marker("CHa_Zero"), 2.0);
    EXPECT_DOUBLE_EQ(marker("CHb_Zero"), -1.25);
    p.chkTrigSource->setChecked(false);
    EXPECT_TRUE(p.CWSTrigInd->pointerVisible("TrigLvl"));
}

} // namespace tracely::test
