#include "src/ui/options_choices.h"
#include "src/ui/program_info.h"
#include "src/ui/registered_user.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tracely {
namespace {

TEST(OptionsChoices, PortEntriesReadOnlyAsTheDialogWritesThem) {
    EXPECT_EQ(options::portFromEntry(QStringLiteral("COM 1")), 1);
    EXPECT_EQ(options::portFromEntry(QStringLiteral("COM 8")), 8);
    for (const char* entry : {"COM 9", "COM 0", "COM 10", "COM x", "COM 3 ", "COM3", "", "3"}) {
        EXPECT_EQ(options::portFromEntry(QString::fromLatin1(entry)), std::nullopt) << entry;
    }
    // The device, and what to do about a lack of permission.
    EXPECT_EQ(options::portToolTip(QStringLiteral("/dev/ttyUSB0"), false),
              "/dev/ttyUSB0 - no permission to open it: add your user to the dialout group (or "
              "install the udev rule), then log in again");
}

TEST(OptionsChoices, UnknownSampleRatesAndPositionsFallBack) {
    EXPECT_EQ(options::sampleRateIndex("10KSa/s"), 3);
    EXPECT_EQ(options::sampleRateIndex("garbage"), 0);
    EXPECT_EQ(options::sampleRateFromEntry(QString()), "25MSa/s");
    EXPECT_EQ(options::sampleClockIndex("50MHz"), 2);
    EXPECT_EQ(options::sampleClockIndex("33MHz"), 0);
    EXPECT_EQ(options::trigPosIndex(7.5f), 2);
    EXPECT_EQ(options::trigPosIndex(4.0f), std::nullopt);
    EXPECT_EQ(options::trigPosIndex(std::nanf("")), std::nullopt);
    EXPECT_EQ(options::trigPosFromEntry(QStringLiteral("1/4")), 2.5f);
    EXPECT_EQ(options::trigPosFromEntry(QString()), std::nullopt);
}

TEST(RegisteredUser, FullNameThenLoginThenNotice) {
    const struct {
        const char *gecos, *login, *org, *owner, *organisation;
    } cases[] = {
        {"Ada Lovelace,Room 12,555-1234,,", "ada", "", "Ada Lovelace", ""},
        {"  Ada Lovelace ", "ada", " Analytical Engines ", "Ada Lovelace", "Analytical Engines"},
        {",Room 12", "ada", "", "ada", ""},
        {"", "ada", "", "ada", ""},
        {"   ", " ", "", kNoUserInformation, ""},
        {"", "", "Acme", kNoUserInformation, "Acme"},
    };
    for (const auto& c : cases) {
        const RegisteredUser u = registeredUserFrom(
            QString::fromUtf8(c.gecos), QString::fromUtf8(c.login), QString::fromUtf8(c.org));
        EXPECT_EQ(std::tuple(u.owner, u.organisation),
                  std::tuple(QString::fromUtf8(c.owner), QString::fromUtf8(c.organisation)))
            << c.gecos;
    }
    EXPECT_FALSE(systemRegisteredUser().owner.isEmpty());
}

TEST(ProgramInfo, VersionTextCountsMissingPartsAsZero) {
    const QString bits = QString::number(QT_POINTER_SIZE * 8);
    EXPECT_EQ(versionText(QStringLiteral("2.5")), "Version 2.5.0 (" + bits + "-bit)");
    EXPECT_EQ(versionText(QStringLiteral("garbage")), "Version 0.0.0 (" + bits + "-bit)");
    EXPECT_EQ(versionText(QStringLiteral("99999999999999999999.1")),
              "Version 0.0.0 (" + bits + "-bit)");
    EXPECT_EQ(buildVersion(), QStringLiteral("0.1.0"));
}

} // namespace
} // namespace tracely
