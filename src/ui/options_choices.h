#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace tracely::options {

// The fixed list entries, index 0 first.
QStringList sampleRates();   // "25MSa/s", "100KSa/s", "25KSa/s", "10KSa/s"
QStringList sampleClocks();  // "25MHz", "40MHz", "50MHz"
QStringList trigPositions(); // "1/4", "1/2", "3/4"
QStringList baudRates();     // "57600", "115200"

inline constexpr int kPortCount = 8; // COM1 .. COM8

// The sample-rate entry shown for a stored rate: unknown texts show the first entry.
int sampleRateIndex(const std::string& rate);
// The rate an entry stands for: the three slower rates as they are, anything else "25MSa/s".
std::string sampleRateFromEntry(const QString& entry);
// The sample-clock entry for a stored clock; unknown texts show the first entry.
int sampleClockIndex(const std::string& clock);

// The trigger-position entry for a position (2.5, 5.0, 7.5); none for any other value.
std::optional<int> trigPosIndex(float pos);
// The position an entry stands for; none for an unknown entry (the position then stays).
std::optional<float> trigPosFromEntry(const QString& entry);

// "COM n" for port n.
QString portEntry(int n);
// The port number of an entry "COM 1" .. "COM 8"; none for anything else.
std::optional<int> portFromEntry(const QString& entry);

// A port entry's tooltip: the device path, plus what to do when this user may not open it
// (the link decides: mayOpenDevice).
QString portToolTip(const QString& path, bool permitted);

// The cursor-channel list for the enabled channels, and the entry to select in it: the first,
// or the second when the first is not the channel the cursors are on. -1 for an empty list.
QStringList channelEntries(bool chaEnabled, bool chbEnabled);
int channelSelection(const QStringList& entries, const std::string& cursorsOn);

} // namespace tracely::options
