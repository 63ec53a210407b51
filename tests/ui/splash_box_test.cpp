#include "src/ui/splash_box.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

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
    EXPECT_FALSE(box.cmdOK->isEnabled());
    EXPECT_FALSE(box.cmdSysInfo->isEnabled());
    EXPECT_EQ(box.lblUserName->text(), "Grace");
    EXPECT_EQ(box.lblUserInfo->text(), "Navy");

    box.SplashOff();
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.titleBarRemoved());
    EXPECT_FALSE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(box.windowType(), Qt::Dialog);
    EXPECT_EQ(box.height(), box.fullHeight());
    EXPECT_TRUE(box.lblWarning->isVisibleTo(&box));
}

TEST_F(SplashTest, EmptyUserNameShowsTheRegisteredUser) {
    box.SplashOn(&owner, 0, QString(), QStringLiteral("ignored"));
    EXPECT_EQ(box.lblUserName->text(), "Ada Lovelace");
    EXPECT_EQ(box.lblUserInfo->text(), "Engines");
}

TEST_F(SplashTest, SecondSplashOnChangesNothing) {
    box.SplashOn(&owner, 5000, QStringLiteral("Grace"), QStringLiteral("Navy"));
    const int height = box.height();
    box.SplashOn(&owner, 50, QStringLiteral("Other"), QStringLiteral("Else"));
    EXPECT_EQ(box.lblUserName->text(), "Grace");
    EXPECT_EQ(box.Timer1->interval(), 5000);
    EXPECT_EQ(box.height(), height);
    box.Timer1->stop(); // no need to wait out the minimum here
    box.SplashOff();
}

TEST_F(SplashTest, SplashOffWaitsOutTheMinimumWhileEventsRun) {
    QElapsedTimer clock;
    clock.start();
    box.SplashOn(&owner, 50);
    EXPECT_TRUE(box.minimumTimePending());
    bool eventRan = false;
    QTimer::singleShot(0, [&] { eventRan = true; });
    box.SplashOff();
    EXPECT_GE(clock.elapsed(), 50);
    EXPECT_TRUE(eventRan);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.minimumTimePending());
}

TEST_F(SplashTest, EndingTheMinimumEndsTheWait) {
    box.SplashOn(&owner, 600000);
    QTimer::singleShot(0, [&] { box.endMinimumTime(); }); // a stop asked for while starting
    box.SplashOff();
    EXPECT_FALSE(box.isVisible());
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
