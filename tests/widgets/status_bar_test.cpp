#include "src/widgets/keyed_status_bar.h"

#include <QLabel>

#include <gtest/gtest.h>

using tracely::widgets::KeyedStatusBar;

TEST(KeyedStatusBar, PanelsAreAddressedByKey) {
    KeyedStatusBar bar;
    bar.addPanel("sbrFirmWare", "Firmware: ");
    bar.addPanel("sbrBaudRate", "Baud: ", 2);
    EXPECT_EQ(bar.panelCount(), 2);
    EXPECT_EQ(bar.panelText("sbrBaudRate"), "Baud: ");
    bar.setPanelText("sbrFirmWare", "Firmware: BC000112");
    EXPECT_EQ(bar.panelText("sbrFirmWare"), "Firmware: BC000112");
    EXPECT_EQ(bar.panel("sbrFirmWare")->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(bar.panel("sbrFirmWare")->accessibleDescription(), "sbrFirmWare");
}

TEST(KeyedStatusBar, UnknownAndDuplicateKeys) {
    KeyedStatusBar bar;
    bar.addPanel("sbrComPort", "Com: ");
    bar.setPanelText("sbrNope", "x");
    EXPECT_EQ(bar.panelText("sbrNope"), QString());
    EXPECT_EQ(bar.panel("sbrNope"), nullptr);
    QLabel* again = bar.addPanel("sbrComPort", "Com: 1", -4);
    EXPECT_EQ(again, bar.panel("sbrComPort"));
    EXPECT_EQ(bar.panelCount(), 1);
    EXPECT_EQ(bar.panelText("sbrComPort"), "Com: 1");
    EXPECT_EQ(bar.addPanel("", "x"), nullptr);
}

TEST(KeyedStatusBar, TemporaryMessagesDoNotTouchThePanels) {
    KeyedStatusBar bar;
    bar.addPanel("sbrSampleRate", "Sample Rate: 25MSa/s");
    bar.showMessage("busy");
    EXPECT_EQ(bar.panelText("sbrSampleRate"), "Sample Rate: 25MSa/s");
}
