#include "src/ui/options_choices.h"

namespace tracely::options {

QStringList sampleRates() {
    return {QStringLiteral("25MSa/s"), QStringLiteral("100KSa/s"), QStringLiteral("25KSa/s"),
            QStringLiteral("10KSa/s")};
}

QStringList sampleClocks() {
    return {QStringLiteral("25MHz"), QStringLiteral("40MHz"), QStringLiteral("50MHz")};
}

QStringList trigPositions() {
    return {QStringLiteral("1/4"), QStringLiteral("1/2"), QStringLiteral("3/4")};
}

QStringList baudRates() {
    return {QStringLiteral("57600"), QStringLiteral("115200")};
}

int sampleRateIndex(const std::string& rate) {
    const int i = static_cast<int>(sampleRates().indexOf(QString::fromStdString(rate)));
    return i > 0 ? i : 0;
}

std::string sampleRateFromEntry(const QString& entry) {
    return sampleRates()
        .at(static_cast<qsizetype>(sampleRateIndex(entry.toStdString())))
        .toStdString();
}

int sampleClockIndex(const std::string& clock) {
    const int i = static_cast<int>(sampleClocks().indexOf(QString::fromStdString(clock)));
    return i > 0 ? i : 0;
}

namespace {
constexpr float kTrigPos[] = {2.5f, 5.0f, 7.5f};
}

std::optional<int> trigPosIndex(float pos) {
    for (int i = 0; i < 3; ++i) {
        if (pos == kTrigPos[i]) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<float> trigPosFromEntry(const QString& entry) {
    const qsizetype i = trigPositions().indexOf(entry);
    if (i < 0) {
        return std::nullopt;
    }
    return kTrigPos[i];
}

QString portEntry(int n) {
    return QStringLiteral("COM %1").arg(n);
}

std::optional<int> portFromEntry(const QString& entry) {
    // Only the entries the dialog itself makes are read; anything else names no port.
    for (int n = 1; n <= kPortCount; ++n) {
        if (entry == portEntry(n)) {
            return n;
        }
    }
    return std::nullopt;
}

QString portToolTip(const QString& path, bool permitted) {
    if (permitted) {
        return path;
    }
    return path + QStringLiteral(" - no permission to open it: add your user to the dialout "
                                 "group (or install the udev rule), then log in again");
}

QStringList channelEntries(bool chaEnabled, bool chbEnabled) {
    QStringList entries;
    if (chaEnabled) {
        entries << QStringLiteral("CH A");
    }
    if (chbEnabled) {
        entries << QStringLiteral("CH B");
    }
    return entries;
}

int channelSelection(const QStringList& entries, const std::string& cursorsOn) {
    if (entries.isEmpty()) {
        return -1;
    }
    if (entries.front() != QString::fromStdString(cursorsOn) && entries.size() > 1) {
        return 1;
    }
    return 0;
}

} // namespace tracely::options
