#include "src/link/port_names.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <sys/stat.h>

namespace tracely {

QString configuredPortPath(int portNumber, const ConfiguredPort& configured) {
    if (portNumber < 1 || !configured) {
        return {};
    }
    const QString path = configured(portNumber).trimmed();
    if (path.isEmpty()) {
        return {};
    }
    // A bare device name ("ttyUSB0") is one in /dev, as people write it.
    return path.contains(QLatin1Char('/')) ? path : QStringLiteral("/dev/") + path;
}

QStringList machinePortPaths() {
    QStringList found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        found << info.systemLocation();
    }
    std::sort(found.begin(), found.end());
    return found;
}

QString resolvePortPath(int portNumber, const ConfiguredPort& configured) {
    if (portNumber < 1) {
        return {};
    }
    if (QString path = configuredPortPath(portNumber, configured); !path.isEmpty()) {
        return path;
    }
    const QStringList found = machinePortPaths();
    return portNumber <= found.size() ? found.at(portNumber - 1) : QString();
}

bool deviceExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    struct stat st {};
    return ::stat(path.toLocal8Bit().constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

} // namespace tracely
