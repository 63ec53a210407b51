#include "src/ui/dump_progress.h"

#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace tracely {

namespace {
QString progress(const QString& format, int done, int total, double secondsLeft) {
    const double left = std::isfinite(secondsLeft) ? std::max(0.0, secondsLeft) : 0.0;
    return format.arg(std::clamp(done, 0, std::max(total, 0)))
        .arg(std::max(total, 0))
        .arg(left, 0, 'f', 1);
}
} // namespace

QString dumpProgressText(int done, int total, double secondsLeft) {
    return progress(QStringLiteral("%1 of %2 blocks, %3 s left"), done, total, secondsLeft);
}

QString dumpProgressShort(int done, int total, double secondsLeft) {
    return progress(QStringLiteral("%1/%2, %3 s left"), done, total, secondsLeft);
}

void showDumpProgress(QProgressBar* bar, int done, int total, double secondsLeft) {
    if (!bar) {
        return;
    }
    if (total <= 0) {
        bar->hide();
        bar->setAccessibleName(QStringLiteral("dump progress: idle"));
        return;
    }
    const QString text = dumpProgressText(done, total, secondsLeft);
    bar->setRange(0, total);
    bar->setValue(std::clamp(done, 0, total));
    bar->setFormat(text);
    bar->setAccessibleName(QStringLiteral("dump progress: ") + text);
    bar->show();
}

} // namespace tracely
