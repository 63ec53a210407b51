#include "src/core/front_panel_state.h"
#include "src/panel/front_panel.h"
#include "src/ui/options_dialog.h"
#include "src/widgets/graph.h"
#include "src/widgets/keyed_status_bar.h"
#include "src/widgets/two_state_button.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <tuple>

namespace tracely {
namespace {

// The main window's side of the dialog: a machine with the given ports and a link that
// starts or not.
class FakeHost : public LinkOptions, public DisplayRoutines {
public:
    explicit FakeHost(FrontPanelState& s) : s_(s) {}
    std::set<int> ports{1};
    std::set<int> denied;
    bool linkStarts = true;
    bool keep = false;
    int initHdwe = 0;
    int displayCursorData = 0;

    void DisplayCursorData() override { ++displayCursorData; }
    void PlotAnalog() override {}
    void PlotLogic() override {}
    void SetCHaScale() override {}
    void SetCHbScale() override {}
    void InitHdwe(std::function<void(bool)> done) override {
        ++initHdwe;
        s_.blnConnected = linkStarts;
        done(linkStarts);
    }
    bool ComPortExists(int n) const override { return ports.count(n) != 0; }
    QString portPath(int n) const override { return QStringLiteral("/dev/ttyS%1").arg(n - 1); }
    // Never the real devices' permissions: the test runs as any user.
    bool portPermitted(int n) const override { return denied.count(n) == 0; }
    bool keepRepeating() const override { return keep; }
    void setKeepRepeating(bool on) override { keep = on; }
    QString linkHealth() const override { return QStringLiteral("Captures: 3\nTime-outs: 1"); }

private:
    FrontPanelState& s_;
};

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() { panel.CWBCHaEnable->setValue(true); }

    std::unique_ptr<OptionsDialog> openDialog() {
        return std::make_unique<OptionsDialog>(state, panel, host, host);
    }
    // A user's pick in a list: the entry becomes current and the list reports the pick.
    static void pick(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    static QStringList entries(const QComboBox* list) {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) {
            out << list->itemText(i);
        }
        return out;
    }
    QString statusText(const char* key) const {
        return panel.StatusBar1->panelText(QString::fromLatin1(key));
    }

    QWidget window;
    FrontPanel panel = buildFrontPanel(&window);
    FrontPanelState state;
    FakeHost host{state};
};

// What the dialog shows is what OK writes back: an OK without a change changes nothing.
TEST_F(OptionsTest, OkWithoutChangeKeepsTheStateAndOnlyMarksTheTimebase) {
    state.intCursorType = 2;
    state.strSampleRate = "10KSa/s";
    state.strSampleClock = "50MHz";
    state.sngTrigPos = 7.5f;
    state.blnShowAN = false;
    state.blnPlotTrig = false;
    state.blnShowTrigLogic = false;
    state.blnPlotPoints = true;
    const auto written = [](const FrontPanelState& s) {
        return std::tuple(s.intCursorType, s.strSampleRate, s.strSampleClock, s.sngTrigPos,
                          s.blnShowAN, s.blnShowLA, s.blnPlotTrig, s.blnPlotPoints,
                          s.blnShowTrigLogic, s.strCursorsOn, s.intComPort, s.blnAutoPort);
    };
    const FrontPanelState before = state;
    auto d = openDialog();
    EXPECT_EQ(std::tuple(d->cboSampleRate->currentText(), d->cboTrigPos->currentText(),
                         d->optVoltage->isChecked(), d->optLogic->isChecked()),
              std::tuple(QString("10KSa/s"), QString("3/4"), true, true));
    EXPECT_EQ(entries(d->cboBaudRate), (QStringList{"57600", "115200"}));
    d->cmdOK->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(written(state), written(before));
    EXPECT_EQ(std::tuple(host.initHdwe, host.displayCursorData), std::tuple(0, 1));
    EXPECT_TRUE(state.blnTimeChanged);
    EXPECT_EQ(statusText("sbrSampleRate"), "Sample Rate: 10KSa/s");
}

TEST_F(OptionsTest, ChannelListFollowsTheEnabledChannels) {
    const struct {
        bool a, b;
        const char* cursorsOn;
        QStringList entries;
        const char* selected;
    } cases[] = {{false, true, "CH B", {"CH B"}, "CH B"},
                 {true, true, "CH B", {"CH A", "CH B"}, "CH B"},
                 {true, true, "CH A", {"CH A", "CH B"}, "CH A"},
                 {true, false, "CH B", {"CH A"}, "CH A"},
                 {false, false, "CH A", {}, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + std::to_string(c.b) + c.cursorsOn);
        panel.CWBCHaEnable->setValue(c.a);
        panel.CWBCHbEnable->setValue(c.b);
        state.strCursorsOn = c.cursorsOn;
        state.intCursorType = 1;
        auto d = openDialog();
        d->tbsOptions->setCurrentIndex(1);
        EXPECT_EQ(entries(d->cboChaSel), c.entries);
        EXPECT_EQ(d->cboChaSel->currentText(), c.selected);
        EXPECT_FALSE(d->cboChaSel->isEnabled());
        d->optVoltage->setChecked(true);
        EXPECT_TRUE(d->cboChaSel->isEnabled());
        d->optFrequency->setChecked(true);
        EXPECT_FALSE(d->cboChaSel->isEnabled());
        d->apply();
        EXPECT_EQ(statusText("sbrCursorData"), QString("Cursors On: ") + c.selected);
    }
}

TEST_F(OptionsTest, PortListHoldsThePortsThatExistAndAPickTakesEffectAtOnce) {
    host.ports = {1, 3};
    host.denied = {3};
    state.intComPort = 2;
    EXPECT_EQ(openDialog()->cboComPort->currentIndex(), -1);
    state.intComPort = 3;
    auto d = openDialog();
    EXPECT_EQ(entries(d->cboComPort), (QStringList{"COM 1", "COM 3"}));
    EXPECT_EQ(d->cboComPort->currentText(), "COM 3");
    EXPECT_EQ(d->cboComPort->itemData(0, Qt::ToolTipRole).toString(), "/dev/ttyS0");
    EXPECT_TRUE(d->cboComPort->itemData(1, Qt::ToolTipRole)
                    .toString()
                    .startsWith("/dev/ttyS2 - no permission"));
    EXPECT_FALSE(d->portChanged());
    // An entry that does not read as a port leaves the port.
    d->cboComPort->addItem(QStringLiteral("ttyUSB0"));
    pick(d->cboComPort, 2);
    EXPECT_EQ(std::tuple(state.intComPort, d->portChanged()), std::tuple(3, false));
    pick(d->cboComPort, 0);
    EXPECT_EQ(std::tuple(state.intComPort, state.blnAutoPort), std::tuple(1, false));
    EXPECT_TRUE(d->portChanged());
    d->cmdCancel->click(); // the pick stays, and the link is not restarted
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(std::tuple(state.intComPort, host.initHdwe, state.blnTimeChanged),
              std::tuple(1, 0, false));
}

TEST_F(OptionsTest, ApplyRetriesTheLinkUntilItStarts) {
    host.ports = {1, 2};
    host.linkStarts = false;
    auto d = openDialog();
    d->apply();
    EXPECT_EQ(host.initHdwe, 0); // no pick, no restart
    pick(d->cboComPort, 1);
    d->apply();
    EXPECT_EQ(std::tuple(host.initHdwe, d->portChanged()), std::tuple(1, true));
    host.linkStarts = true;
    d->apply();
    EXPECT_EQ(std::tuple(host.initHdwe, d->portChanged()), std::tuple(2, false));
    d->apply();
    EXPECT_EQ(host.initHdwe, 2);
}

TEST_F(OptionsTest, LinkPageKeepsRepeatingAndShowsTheHealth) {
    host.keep = true;
    auto d = openDialog();
    EXPECT_TRUE(d->chkKeepRepeating->isChecked());
    EXPECT_EQ(d->lblLinkHealth->accessibleName(), "link health: Captures: 3; Time-outs: 1");
    d->apply();
    EXPECT_TRUE(host.keep);
    d->chkKeepRepeating->setChecked(false);
    EXPECT_TRUE(host.keep); // nothing changes before Apply
    d->apply();
    EXPECT_FALSE(host.keep);
}

TEST_F(OptionsTest, ValuesOffTheListsAreKept) {
    state.sngTrigPos = 4.0f;
    state.intCursorType = 7;
    auto d = openDialog();
    EXPECT_EQ(d->cboTrigPos->currentIndex(), -1);
    EXPECT_FALSE(d->optTime->isChecked() || d->optVoltage->isChecked() ||
                 d->optFrequency->isChecked());
    d->apply();
    EXPECT_EQ(std::tuple(state.sngTrigPos, state.intCursorType), std::tuple(4.0f, 7));
    d->cboTrigPos->setCurrentIndex(0);
    d->apply();
    EXPECT_EQ(state.sngTrigPos, 2.5f);
}

TEST_F(OptionsTest, CtrlTabStepsThroughTheTabsAndWraps) {
    auto d = openDialog();
    d->tbsOptions->setCurrentIndex(4);
    // The focus may be on any control: the dialog sees the key first.
    QTest::keyClick(d->cboComPort, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(std::tuple(d->tbsOptions->currentIndex(), d->pages->currentIndex()),
              std::tuple(0, 0));
    EXPECT_TRUE(d->pages->widget(0)->isEnabled());
    EXPECT_FALSE(d->pages->widget(4)->isEnabled());
    QTest::keyClick(d.get(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(d->tbsOptions, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(d->cmdApply, Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(d->tbsOptions->currentIndex(), 1);
}

TEST_F(OptionsTest, ApplySetsTheCursorsAndTheGraphs) {
    const auto& g = *panel.CWGraph1;
    const auto& logic = *panel.CWGLogic;
    panel.CWGLogic->setCursorVisible("Cursor1", true);
    panel.CWGraph1->plotY("CHa", {1.0, 2.0, 3.0}, 0.0, 1.0);
    panel.CWGLogic->plotY(1, {0.0, 1.0}, 0.0, 1.0);
    auto d = openDialog();
    d->optVoltage->setChecked(true);
    d->chkAnalog->setChecked(false);
    d->chkTrigVisible->setChecked(false);
    d->optTrig->setChecked(true);
    d->cboSampleRate->setCurrentIndex(1);
    d->apply();
    EXPECT_EQ(state.intCursorType, 2);
    EXPECT_EQ(std::tuple(g.cursorStyle("Cursor1"), g.cursorStyle("Cursor2")),
              std::tuple(widgets::Graph::kCursorHorizontal, widgets::Graph::kCursorHorizontal));
    EXPECT_FALSE(logic.cursorVisible("Cursor1"));
    EXPECT_EQ(std::tuple(g.plotCount("CHa"), logic.plotCount(1)), std::tuple(0, 2));
    EXPECT_EQ(std::tuple(state.blnShowAN, state.blnPlotTrig, g.plotVisible("Trig"),
                         state.blnShowTrigLogic, state.strSampleRate),
              std::tuple(false, false, false, true, std::string("100KSa/s")));

    d->optTime->setChecked(true);
    d->chkLogic->setChecked(false);
    d->apply();
    EXPECT_EQ(state.intCursorType, 1);
    EXPECT_EQ(std::tuple(g.cursorStyle("Cursor2"), logic.cursorStyle("Cursor1")),
              std::tuple(widgets::Graph::kCursorVertical, widgets::Graph::kCursorVertical));
    EXPECT_EQ(std::tuple(logic.plotCount(1), host.displayCursorData), std::tuple(0, 2));
}

} // namespace
} // namespace tracely
