#pragma once

#include "src/acquire/link_orders.h"
#include "src/acquire/reply_framer.h"
#include "src/link/serial_port.h"

#include <QDeadlineTimer>
#include <QObject>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

class QThread;

namespace tracely {

// The thread that talks to the instrument. It takes orders (identify, capture, stop) in the
// order they were given, runs each as the protocol demands (every command character
// echo-checked, replies framed by count and structure) and reports what happened through
// its signals, which reach the GUI thread queued. A new order cuts short a capture that is
// waiting for its trigger or its dump; the register programming of an order always runs to
// its end first, as it would if the GUI thread itself had run it.
class LinkSession : public QObject {
    Q_OBJECT
public:
    explicit LinkSession(QObject* parent = nullptr);
    ~LinkSession() override;

    void start();
    // Ends the thread after the current step; the port is closed. Waits for it.
    void stop();

    void identify(IdentifyOrder order);
    void capture(CaptureOrder order);

    // Takes effect with the next order.
    void setTimeouts(const LinkTimeouts& t);

signals:
    void identified(const QString& firmware, qint32 baud, int comPort, const QString& path);
    void identifyFailed(const QString& why, const QString& busyPort, const QString& searched);
    // Update's echo checks: one character came back wrong or not at all.
    void echoFailed(quint64 seq, const QString& why);
    // The register image was sent; a trace was requested unless an echo failed.
    void programmed(quint64 seq, bool traceRequested);
    void triggerAnswered(quint64 seq, const QString& answer, quint8 r3, quint8 r4);
    void dumpStarted(quint64 seq);
    void blockArrived(quint64 seq, int done, int total);
    // Every block framed: the sample bytes of all of them, in order.
    void captureArrived(quint64 seq, const QByteArray& samples);
    void captureFailed(quint64 seq, tracely::CaptureFault fault, const QString& why);
    // The line went away or stopped answering (the serial component's error event).
    void linkLost(const QString& why);
    // After a fault: nothing has come for a while, a new capture can start clean.
    void lineQuiet();
    void countersChanged(const tracely::LineCounters& counters);

private:
    struct Stop {};
    using Order = std::variant<IdentifyOrder, CaptureOrder, Stop>;

    enum class [[nodiscard]] Step{Ok, Failed, Timeout, Interrupted, Lost, Stopped};

    void post(Order order);
    void run();
    bool ordersWaiting();
    std::optional<Order> takeOrder();
    void idle();

    void runIdentify(const IdentifyOrder& order);
    [[nodiscard]] bool probe(qint32 baud, std::string& firmware);
    // Opens COMn (unless open already) and probes it at both speeds; a busy port is named in
    // busy.
    [[nodiscard]] bool tryPort(int n, const QString& path, QString& busy, std::string& firmware);
    void runCapture(const CaptureOrder& order);
    [[nodiscard]] bool program(const CaptureOrder& order);
    Step awaitTrigger(const CaptureOrder& order);
    void requestDump(const CaptureOrder& order, quint8& r3, quint8& r4);
    Step dump(const CaptureOrder& order, QByteArray& samples);
    Step dumpInterrupted();
    // A dump block that did not come: the capture fails and the link is taken as down.
    void dumpStalled(quint64 seq, const QString& why);

    // Send_Char: one command character and its echo.
    Step sendChar(char c, int timeoutMs, quint64 seq);
    // A character not sent or not echoed as sent: logged and reported, the capture carries on.
    void echoFault(quint64 seq, const QString& why);
    // One wait on the line, feeding what comes to the framer.
    Step pump(QDeadlineTimer deadline, bool interruptible);
    // Waits for the framer's awaited item; Interrupted when an order comes in (if allowed).
    Step awaitFrame(QDeadlineTimer deadline, bool interruptible);
    // Feeds whatever the driver holds into the framer.
    [[nodiscard]] bool drain();
    void settle();
    // Reads and drops until nothing has come for a while; false when the line went away.
    [[nodiscard]] bool waitQuiet(int limitMs);
    void lose(const QString& why, bool closePort);
    void goneAway(); // the line itself went away: closed and reported
    void fail(quint64 seq, CaptureFault fault, const QString& why);
    void publishCounters();
    QString portName() const;
    double byteSeconds() const;

    std::unique_ptr<QThread> thread_;
    SerialPort port_;
    ReplyFramer framer_;
    std::mutex mutex_;
    std::deque<Order> orders_;
    LinkTimeouts nextTimeouts_; // guarded by mutex_
    std::atomic<bool> stopping_{false};

    // Owned by the thread.
    bool connected_ = false;
    int comPort_ = 0;
    bool sendFailed_ = false;
    LinkTimeouts t_;
    QDeadlineTimer stallDeadline_{QDeadlineTimer::Forever};
    LineCounters counters_;
};

} // namespace tracely
