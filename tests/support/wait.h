#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

namespace tracely::test {

// Runs the event loop until pred() holds or the deadline passes; returns pred()'s last value.
template <class Pred> bool waitUntil(Pred pred, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!pred()) {
        if (deadline.hasExpired()) {
            return pred();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!pred()) {
            QThread::msleep(1); // keep the poll from spinning a core
        }
    }
    return true;
}

} // namespace tracely::test
