#include "src/ui/splash_box.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <tuple>

#include <gtest/gtest.h>

namespace tracely {
namespace {

ProgramInfo info(const QString& company = {}) {
    ProgramInfo i;
    i.title = QStringLiteral("Tracely");
    i.version = QStringLiteral("1.2.3");
    i.company = company;
    i.copyright = QStringLiteral("(C) us");
    i.trademark = QStringLiteral("TM");
    i.description = QStringLiteral("front panel");
    i.executable = QStringLiteral("/opt/my tools/tracely");
    return i;
}

RegisteredUser registered() {
    return {QStringLiteral("Ada Lovelace"), QStringLiteral("Engines")};
}

class SplashTest : public ::testing::Test {
protected:
    QWidget owner;
    SplashBox box{&owner, info(), registered};
};

TEST_F(SplashTest, ShowsFramelessCutAtTheDividerUntilTakenDown) {
    box.SplashOn(&owner, 0, QStringLiteral("Grace"), QStringLiteral("Navy"));
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(box.titleBarRemoved());
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_LT(box.height(), box.fullHeight());
    EXPECT_TRUE(box.linDivide[1]->isVisible());
    EXPECT_FALSE(box.lblWarning->isVisible());
    EXPECT_FALSE(box.cmdOK->isEnabled() || box.cmdSysInfo->isEnabled());
    EXPECT_EQ(box.lblUserName->text() + box.lblUserInfo->text(), "GraceNavy");

    box.SplashOff();
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.titleBarRemoved());
    EXPECT_FALSE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(box.windowType(), Qt::Dialog);
    EXPECT_EQ(box.height(), box.fullHeight());
    EXPECT_TRUE(box.lblWarning->isVisibleTo(&box));
}

TEST_F(SplashTest, EmptyUserNameShowsTheRegisteredUserAndASecondSplashChangesNothing) {
    box.SplashOn(&owner, 0, QString(), QStringLiteral("ignored"));
    const int height = box.height();
    box.SplashOn(&owner, 600000, QStringLiteral("Other"), QStringLiteral("Else"));
    EXPECT_EQ(std::tuple(box.lblUserName->text(), box.lblUserInfo->text()),
              std::tuple(QString("Ada Lovelace"), QString("Engines")));
    EXPECT_EQ(std::tuple(box.height(), box.minimumTimePending()), std::tuple(height, false));
}

// The minimum's end is provoked, never waited out: its timer is restarted to fire at once, or
// a stop is asked for while starting.
TEST_F(SplashTest, SplashOffWaitsOutTheMinimumWhileEventsRun) {
    for (const bool stopAsked : {false, true}) {
        box.SplashOn(&owner, 600000);
        EXPECT_TRUE(box.minimumTimePending());
        bool eventRan = false;
        QTimer::singleShot(0, [&] {
            eventRan = true;
            stopAsked ? box.endMinimumTime() : box.Timer1->start(0);
        });
        box.SplashOff();
        EXPECT_TRUE(eventRan) << stopAsked;
        EXPECT_FALSE(box.isVisible() || box.minimumTimePending()) << stopAsked;
    }
}

TEST_F(SplashTest, NoMinimumReturnsAtOnce) {
    box.SplashOn(&owner, 0);
    EXPECT_FALSE(box.minimumTimePending());
    bool eventRan = false;
    QTimer::singleShot(0, [&] { eventRan = true; });
    box.SplashOff();
    EXPECT_FALSE(eventRan); // no event was processed: nothing was waited for
    EXPECT_FALSE(box.isVisible());
}

} // namespace
} // namespace tracely
