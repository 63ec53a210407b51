#include "src/ui/options_choices.h"
#include "src/ui/program_info.h"
#include "src/ui/registered_user.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>

namespace tracely {
namespace {

TEST(OptionsChoices, PortEntriesReadOnlyAsTheDialogWritesThem) {
    const struct {
        const char* entry;
        std::optional<int> port;
    } cases[] = {{"COM 1", 1},
                 {"COM 8", 8},
                 {"COM 9", std::nullopt},
                 {"COM 0", std::nullopt},
                 {"COM 10", std::nullopt},
                 {"COM x", std::nullopt},
                 {"COM 3 ", std::nullopt},
                 {"COM3", std::nullopt},
                 {"", std::nullopt},
                 {"3", std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(options::portFromEntry(QString::fromLatin1(c.entry)), c.port) << c.entry;
    }
}

TEST(OptionsChoices, PortTooltipNamesTheDeviceAndALackOfPermission) {
    struct Case {
        const char* path;
        options::PortAccess access;
        const char* expected;
    };
    const Case cases[] = {
        {"/dev/ttyUSB0", options::PortAccess::Permitted, "/dev/ttyUSB0"},
        {"/dev/ttyUSB0", options::PortAccess::Denied,
         "/dev/ttyUSB0 - no permission to open it: add your user to the dialout group (or "
         "install the udev rule), then log in again"},
        {"", options::PortAccess::Permitted, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(options::portToolTip(QString::fromUtf8(c.path), c.access), c.expected) << c.path;
    }
}

TEST(OptionsChoices, OnlyALackOfPermissionCountsAsDenied) {
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/port");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    struct Case {
        QString path;
        options::PortAccess expected;
    };
    const Case cases[] = {
        {file, options::PortAccess::Permitted},                    // readable and writable
        {dir.path() + "/missing", options::PortAccess::Permitted}, // the open reports it
        {file + "/below-a-file", options::PortAccess::Permitted},  // not a folder
        {QString(), options::PortAccess::Permitted},               // no path
    };
    for (const Case& c : cases) {
        EXPECT_EQ(options::portAccess(c.path), c.expected) << c.path.toStdString();
    }
    if (::geteuid() != 0) { // root may open anything: the denial shows for users only
        ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner));
        EXPECT_EQ(options::portAccess(file), options::PortAccess::Denied);
    }
}

TEST(OptionsChoices, UnknownSampleRatesAndPositionsFallBack) {
    EXPECT_EQ(options::sampleRateIndex("10KSa/s"), 3);
    EXPECT_EQ(options::sampleRateIndex("garbage"), 0);
    EXPECT_EQ(options::sampleRateFromEntry(QStringLiteral("100KSa/s")), "100KSa/s");
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
        const char* gecos;
        const char* login;
        const char* org;
        const char* owner;
        const char* organisation;
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
        EXPECT_EQ(u.owner, QString::fromUtf8(c.owner)) << c.gecos;
        EXPECT_EQ(u.organisation, QString::fromUtf8(c.organisation)) << c.gecos;
    }
}

TEST(RegisteredUser, SystemAlwaysNamesSomeone) {
    EXPECT_FALSE(systemRegisteredUser().owner.isEmpty());
}

TEST(ProgramInfo, VersionTextCountsMissingPartsAsZero) {
    const QString bits = QString::number(QT_POINTER_SIZE * 8);
    EXPECT_EQ(versionText(QStringLiteral("0.1.0")), "Version 0.1.0 (" + bits + "-bit)");
    EXPECT_EQ(versionText(QStringLiteral("2.5")), "Version 2.5.0 (" + bits + "-bit)");
    EXPECT_EQ(versionText(QStringLiteral("garbage")), "Version 0.0.0 (" + bits + "-bit)");
    EXPECT_EQ(versionText(QStringLiteral("99999999999999999999.1")),
              "Version 0.0.0 (" + bits + "-bit)");
    EXPECT_EQ(buildVersion(), QStringLiteral("0.1.0"));
}

} // namespace
} // namespace tracely
