#include "src/acquire/link_health.h"

#include <QStringList>

namespace tracely {

QString describeHealth(const LinkHealth& h) {
    QStringList lines;
    lines << QStringLiteral("Captures: %1 (%2 per second)")
                 .arg(h.captures)
                 .arg(h.capturesPerSecond, 0, 'f', 2);
    lines << QStringLiteral("Bytes per second: %1 in, %2 out")
                 .arg(h.bytesInPerSecond, 0, 'f', 0)
                 .arg(h.bytesOutPerSecond, 0, 'f', 0);
    lines << QStringLiteral("Echo mismatches: %1").arg(h.line.echoMismatches);
    lines << QStringLiteral("Late echoes: %1").arg(h.line.lateEchoes);
    lines << QStringLiteral("Time-outs: %1").arg(h.line.timeouts);
    lines << QStringLiteral("Framing errors: %1").arg(h.line.framingErrors);
    lines << QStringLiteral("Stray bytes: %1").arg(h.line.strayBytes);
    lines << QStringLiteral("Discarded captures: %1").arg(h.discarded);
    lines << QStringLiteral("Recoveries: %1").arg(h.recoveries);
    lines << QStringLiteral("Link losses: %1").arg(h.linkLosses);
    lines << QStringLiteral("Last fault: %1")
                 .arg(h.lastFault.isEmpty() ? QStringLiteral("none") : h.lastFault);
    return lines.join(QLatin1Char('\n'));
}

QString summariseHealth(const LinkHealth& h) {
    return QStringLiteral("%1 captures, %2 discarded, %3 time-outs, %4 framing errors, "
                          "last fault: %5")
        .arg(h.captures)
        .arg(h.discarded)
        .arg(h.line.timeouts)
        .arg(h.line.framingErrors)
        .arg(h.lastFault.isEmpty() ? QStringLiteral("none") : h.lastFault);
}

void RateWindow::add(const Sample& s) {
    samples_.push_back(s);
    while (samples_.size() > 2 && s.t - samples_.front().t > span_) {
        samples_.pop_front();
    }
}

void RateWindow::rates(LinkHealth& h) const {
    h.capturesPerSecond = h.bytesInPerSecond = h.bytesOutPerSecond = 0.0;
    if (samples_.size() < 2) {
        return;
    }
    const Sample& a = samples_.front();
    const Sample& b = samples_.back();
    const double dt = b.t - a.t;
    if (dt <= 0.0) {
        return;
    }
    h.capturesPerSecond = (b.captures - a.captures) / dt;
    h.bytesInPerSecond = (b.bytesIn - a.bytesIn) / dt;
    h.bytesOutPerSecond = (b.bytesOut - a.bytesOut) / dt;
}

} // namespace tracely
