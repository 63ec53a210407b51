#include "src/link/port_names.h"

#include <QFile>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

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

bool mayOpenDevice(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    if (local.isEmpty() || ::access(local.constData(), R_OK | W_OK) == 0) {
        return true;
    }
    return errno != EACCES && errno != EPERM;
}

} // namespace tracely
