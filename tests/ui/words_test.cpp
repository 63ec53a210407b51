// The status in words, the help viewer's place and the dialog's mnemonics.
#include "src/instrument/lamp_colours.h"
#include "src/ui/help_placement.h"
#include "src/ui/link_status.h"
#include "src/ui/mnemonics.h"

#include <gtest/gtest.h>

using namespace tracely;

TEST(LinkStatus, SaysWhatTheInstrumentIsDoing) {
    LinkStatus s;
    EXPECT_EQ(s.headline(), "No instrument — press Acquire to search");
    EXPECT_TRUE(s.worthShowing());
    struct Step {
        LinkPhase phase;
        const char* detail;
        int done, total; // progress after the phase; total < 0: none
        const char* headline;
        bool shown;
    };
    const Step steps[] = {
        {LinkPhase::Searching, "COM1…COM8", 0, -1, "Searching COM1…COM8", true},
        {LinkPhase::NotFound, "tried COM1 (/dev/ttyS0) at 115200 and 57600 baud", 0, -1,
         "No instrument — press Acquire to search", true},
        {LinkPhase::Connected, "COM2", 0, -1, "Connected on COM2 — press Acquire", true},
        {LinkPhase::Waiting, "", 0, -1, "Waiting for trigger", true},
        {LinkPhase::Receiving, "", 12, 60, "Receiving 12 / 60", true},
        {LinkPhase::Receiving, "", 90, 60, "Receiving 60 / 60", true}, // clamped
        {LinkPhase::Captured, "", 0, -1, "Captured", false},
        {LinkPhase::GaveUp, "no echo", 0, -1, "Stopped after line faults", true},
    };
    for (const Step& st : steps) {
        s.phase(st.phase, QString::fromUtf8(st.detail));
        if (st.total >= 0) {
            s.progress(st.done, st.total);
        }
        EXPECT_EQ(s.headline(), QString::fromUtf8(st.headline)) << st.headline;
        EXPECT_EQ(s.worthShowing(), st.shown) << st.headline;
    }
    EXPECT_EQ(s.detail(), "no echo");
    EXPECT_EQ(s.explanation(), "no echo"); // why it stopped is worth showing
    s.phase(LinkPhase::Waiting, QStringLiteral("irrelevant"));
    EXPECT_EQ(s.explanation(), "");
    s.repeat(true);
    s.phase(LinkPhase::Captured, {});
    EXPECT_EQ(s.headline(), "Running");
    s.stored(true);
    EXPECT_EQ(s.headline(), "Stored");
    EXPECT_TRUE(s.worthShowing());
    s.stored(false);
    EXPECT_EQ(s.headline(), "Running");
    // The end of a dump's progress is not a phase of its own.
    s.phase(LinkPhase::Waiting, {});
    s.progress(0, 0);
    EXPECT_EQ(s.headline(), "Waiting for trigger");
}

TEST(LinkStatus, LampColoursInWords) {
    EXPECT_EQ(lampWords(true, colour::kBlue) + "; " + lampWords(true, colour::kRed) + "; " +
                  lampWords(true, 0x123456),
              "blue, receiving; red, communication error; lit");
}

TEST(HelpPlacement, BesideThePanelWhereverThereIsRoom) {
    const QRect screen(0, 0, 1600, 1200);
    struct Case {
        QRect window;
        QSize viewer;
        QRect expected;
    };
    const Case cases[] = {
        {{100, 100, 800, 600}, {500, 600}, {900, 100, 500, 600}},  // right
        {{700, 100, 800, 600}, {500, 600}, {200, 100, 500, 600}},  // left
        {{0, 900, 1500, 300}, {500, 600}, {1100, 600, 500, 600}},  // against the right edge
        {{200, 0, 1400, 900}, {500, 600}, {0, 0, 500, 600}},       // against the left edge
        {{100, 100, 800, 600}, {2000, 1500}, {900, 0, 700, 1200}}, // screen-high, narrowed
    };
    for (const Case& c : cases) {
        EXPECT_EQ(besideWindow(c.window, c.viewer, screen), c.expected)
            << c.window.x() << "," << c.window.y();
    }
}

TEST(Mnemonics, FirstFreeLetterTakesTheAmpersand) {
    std::set<QChar> used;
    EXPECT_EQ(withMnemonic(QStringLiteral("Apply"), used), "&Apply");
    EXPECT_EQ(withMnemonic(QStringLiteral("Analog"), used), "A&nalog");
    EXPECT_EQ(withMnemonic(QStringLiteral("&OK"), used), "&OK"); // chosen by hand: kept
    EXPECT_EQ(withMnemonic(QStringLiteral("R&&D"), used), "&R&&D");
    EXPECT_EQ(withMnemonic(QStringLiteral("an"), used), "an"); // no letter left
    EXPECT_EQ(withMnemonic(QString(), used), "");
    EXPECT_EQ(used, (std::set<QChar>{QLatin1Char('a'), QLatin1Char('n'), QLatin1Char('r')}));
}
