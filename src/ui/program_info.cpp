#include "src/ui/program_info.h"

#include <QCoreApplication>
#include <QVersionNumber>

namespace tracely {

QString buildVersion() {
    return QStringLiteral(TRACELY_VERSION);
}

ProgramInfo currentProgramInfo() {
    ProgramInfo info;
    info.title = QCoreApplication::applicationName();
    if (info.title.isEmpty()) {
        info.title = QStringLiteral("Tracely");
    }
    info.version = QCoreApplication::applicationVersion();
    if (info.version.isEmpty()) {
        info.version = buildVersion();
    }
    info.company = QCoreApplication::organizationName();
    info.copyright = QStringLiteral("Copyright (C) the Tracely authors");
    info.description = QStringLiteral("BitScope front panel");
    info.executable = QCoreApplication::applicationFilePath();
    return info;
}

QString versionText(const QString& version) {
    const QVersionNumber v = QVersionNumber::fromString(version);
    return QStringLiteral("Version %1.%2.%3 (%4-bit)")
        .arg(v.majorVersion())
        .arg(v.minorVersion())
        .arg(v.microVersion())
        .arg(QT_POINTER_SIZE * 8);
}

} // namespace tracely
