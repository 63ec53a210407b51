#include "src/link/serial_port.h"

#include <QLoggingCategory>
#include <QStringList>

#include <gtest/gtest.h>

using namespace tracely;

namespace {

QStringList* g_seen = nullptr;

void keep(QtMsgType, const QMessageLogContext& context, const QString& text) {
    if (g_seen && QLatin1String(context.category) == QLatin1String("tracely.link")) {
        g_seen->append(text);
    }
}

} // namespace

// A serial failure is silent by default; with its category turned on, the log carries the
// system's reason that the status holds.
TEST(Logging, LinkFailuresAreLoggedOnlyWhenTurnedOn) {
    QStringList seen;
    g_seen = &seen;
    const QtMessageHandler before = qInstallMessageHandler(keep);
    SerialPort port;
    const QString path = QStringLiteral("/nonexistent/ttyTracely");

    QLoggingCategory::setFilterRules(QString());
    EXPECT_FALSE(port.open(path, 57600).ok());
    EXPECT_TRUE(seen.isEmpty());

    QLoggingCategory::setFilterRules(QStringLiteral("tracely.link=true"));
    const SerialStatus s = port.open(path, 57600);
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(before);
    g_seen = nullptr;

    ASSERT_EQ(seen.size(), 1);
    EXPECT_TRUE(s.detail.contains(QStringLiteral("No such file")));
    EXPECT_TRUE(seen.front().contains(s.detail)) << seen.front().toStdString();
}
