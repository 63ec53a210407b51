#include "src/acquire/link_session.h"

#include "src/acquire/acquire_log.h"
#include "src/instrument/registers.h"
#include "src/link/dump_address.h"
#include "src/link/port_names.h"

#include <QThread>

#include <algorithm>
#include <cmath>

namespace tracely {

namespace {
constexpr int kIdentAnswerChars = 11;   // "?", CR, eight characters, CR
constexpr std::int64_t kAnswerRest = 5; // four digits and a CR after the answer's first CR

bool knownFirmware(const std::string& id) {
    return id == "BC000112" || id == "BC000120" || id == "BC000220";
}

QDeadlineTimer after(double seconds) {
    return QDeadlineTimer(static_cast<qint64>(std::ceil(seconds * 1000.0)));
}
} // namespace

LinkSession::LinkSession(QObject* parent) : QObject(parent) {
    qRegisterMetaType<tracely::CaptureFault>();
    qRegisterMetaType<tracely::LineCounters>();
}

LinkSession::~LinkSession() {
    stop();
}

void LinkSession::start() {
    if (thread_) {
        return;
    }
    thread_.reset(QThread::create([this] { run(); }));
    thread_->setObjectName(QStringLiteral("instrument link"));
    thread_->start();
}

void LinkSession::stop() {
    if (!thread_) {
        return;
    }
    stopping_ = true;
    post(Stop{});
    thread_->wait();
    thread_.reset();
}

void LinkSession::identify(IdentifyOrder order) {
    post(std::move(order));
}

void LinkSession::capture(CaptureOrder order) {
    post(std::move(order));
}

void LinkSession::post(Order order) {
    {
        std::lock_guard lock(mutex_);
        orders_.push_back(std::move(order));
    }
    port_.wake();
}

bool LinkSession::ordersWaiting() {
    std::lock_guard lock(mutex_);
    return !orders_.empty();
}

std::optional<LinkSession::Order> LinkSession::takeOrder() {
    std::lock_guard lock(mutex_);
    if (orders_.empty()) {
        return std::nullopt;
    }
    Order o = std::move(orders_.front());
    orders_.pop_front();
    t_ = nextTimeouts_;
    return o;
}

void LinkSession::setTimeouts(const LinkTimeouts& t) {
    std::lock_guard lock(mutex_);
    nextTimeouts_ = t;
}

void LinkSession::run() {
    while (!stopping_) {
        std::optional<Order> order = takeOrder();
        if (!order) {
            idle();
            continue;
        }
        if (std::holds_alternative<Stop>(*order)) {
            break;
        }
        if (const auto* id = std::get_if<IdentifyOrder>(&*order)) {
            runIdentify(*id);
        } else {
            runCapture(std::get<CaptureOrder>(*order));
        }
        publishCounters();
    }
    port_.close();
}

void LinkSession::idle() {
    // Nothing is asked of the instrument: whatever comes is stray, and a line that goes away
    // is reported now rather than at the next capture.
    switch (port_.waitReadable(QDeadlineTimer(QDeadlineTimer::Forever))) {
    case SerialPort::Wait::Data:
        if (!drain()) {
            goneAway();
        }
        break;
    case SerialPort::Wait::Lost:
        goneAway();
        break;
    case SerialPort::Wait::Timeout:
    case SerialPort::Wait::Woken:
        break;
    }
}

QString LinkSession::portName() const {
    return QStringLiteral("COM%1 (%2)").arg(comPort_).arg(port_.devicePath());
}

double LinkSession::byteSeconds() const {
    return 10.0 / std::max(1, static_cast<int>(port_.baudRate()));
}

bool LinkSession::drain() {
    SerialStatus status;
    const QByteArray bytes = port_.readAvailable(&status);
    counters_.bytesIn += static_cast<quint64>(bytes.size());
    framer_.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return status.ok();
}

void LinkSession::lose(const QString& why, bool closePort) {
    const bool wasOpen = port_.isOpen();
    if (closePort) {
        port_.close();
    }
    framer_.reset();
    if (connected_ || wasOpen) {
        qCInfo(lcAcquire).noquote() << "link lost:" << why;
        connected_ = false;
        emit linkLost(why);
    }
}

void LinkSession::goneAway() {
    lose(QStringLiteral("%1 went away").arg(portName()), true);
}

void LinkSession::publishCounters() {
    const ReplyFramer::Counts& c = framer_.counts();
    counters_.echoMismatches = c.mismatches;
    counters_.lateEchoes = c.lateEchoes;
    counters_.framingErrors = c.framingErrors;
    counters_.strayBytes = c.stray;
    counters_.bytesOut = port_.bytesWritten();
    emit countersChanged(counters_);
}

// --- Identification -----------------------------------------------------------------------

bool LinkSession::probe(qint32 baud, std::string& firmware) {
    firmware.clear();
    if (!port_.setBaudRate(baud).ok()) {
        return false;
    }
    port_.discardInput();
    port_.readAvailable();
    if (!port_.write(QByteArray(1, wire::kIdent)).ok()) {
        return false;
    }
    // Up to eleven characters, or what has come when the time-out passes.
    QByteArray answer;
    const QDeadlineTimer deadline(t_.identMs);
    while (answer.size() < kIdentAnswerChars) {
        const SerialPort::Wait w = port_.waitReadable(deadline);
        if (w == SerialPort::Wait::Lost) {
            break;
        }
        answer += port_.readAvailable();
        if (w == SerialPort::Wait::Timeout) {
            break; // what the driver held at the deadline has been read above
        }
    }
    counters_.bytesIn += static_cast<quint64>(answer.size());
    for (char c : answer.left(kIdentAnswerChars)) {
        if (c != wire::kIdent && c != '\r') {
            firmware += c;
        }
    }
    return knownFirmware(firmware);
}

namespace {

// COM1 to COM8 as device paths (index = port number), the configured ones first and the
// machine's devices in order for the rest. Existence is tested without opening anything; a
// port that does not exist is left empty.
std::array<QString, 9> presentPorts(const std::array<QString, 9>& configured) {
    std::array<QString, 9> paths = configured;
    QStringList machine;
    if (std::any_of(paths.begin() + 1, paths.end(), [](const QString& p) { return p.isEmpty(); })) {
        machine = machinePortPaths();
    }
    for (int n = 1; n <= 8; ++n) {
        QString& path = paths[static_cast<std::size_t>(n)];
        if (path.isEmpty() && n <= machine.size()) {
            path = machine.at(n - 1);
        }
        if (!deviceExists(path)) {
            path.clear();
        }
    }
    return paths;
}

// Which ports and speeds were tried tells the user where to look next.
QString searchedText(const std::array<QString, 9>& paths, const IdentifyOrder& order) {
    QStringList tried;
    for (int n = 1; n <= 8; ++n) {
        const QString& path = paths[static_cast<std::size_t>(n)];
        if (!path.isEmpty() && (order.autoPort || n == order.comPort)) {
            tried << QStringLiteral("COM%1 (%2)").arg(n).arg(path);
        }
    }
    return tried.isEmpty() ? QStringLiteral("no serial port present")
                           : QStringLiteral("tried ") + tried.join(QStringLiteral(", ")) +
                                 QStringLiteral(" at 115200 and 57600 baud");
}

} // namespace

bool LinkSession::tryPort(int n, const QString& path, QString& busy, std::string& firmware) {
    if (!port_.isOpen() || port_.devicePath() != path) {
        const SerialStatus s = port_.open(path, 115200);
        if (s.error == SerialError::Busy) {
            busy = QStringLiteral("COM%1 (%2)").arg(n).arg(path);
        }
        if (!s.ok()) {
            return false;
        }
    }
    // Whatever the instrument still sends for an earlier exchange (the echoes of an
    // instrument that stopped answering, a late answer to the probe of an earlier search,
    // which an instrument does not know was closed) must not be taken for its identifier.
    if (!waitQuiet(t_.settleLimitMs)) {
        port_.close();
        return false;
    }
    comPort_ = n;
    if (probe(115200, firmware)) {
        return true;
    }
    // An answer to the first probe that comes after its time-out would otherwise be read as
    // the answer at the second speed, and the instrument taken to run at a speed it does
    // not: the line must be quiet before the speed changes.
    const bool quiet = waitQuiet(t_.settleLimitMs);
    framer_.reset();
    return quiet && probe(57600, firmware);
}

void LinkSession::runIdentify(const IdentifyOrder& order) {
    connected_ = false;
    framer_.reset();
    const std::array<QString, 9> paths = presentPorts(order.configured);
    const QString searched = searchedText(paths, order);
    QString busy;
    std::string firmware;
    const auto tryAt = [&](int n) {
        return tryPort(n, paths[static_cast<std::size_t>(n)], busy, firmware);
    };

    bool found = false;
    if (order.autoPort) {
        int highest = 1;
        for (int n = 1; n <= 8; ++n) {
            if (!paths[static_cast<std::size_t>(n)].isEmpty()) {
                highest = n;
            }
        }
        for (int n = 1; n <= highest && !found; ++n) {
            if (!paths[static_cast<std::size_t>(n)].isEmpty()) {
                found = tryAt(n);
            }
        }
    } else if (order.comPort >= 1 && order.comPort <= 8) {
        found = tryAt(order.comPort);
    }

    if (!found) {
        port_.close();
        const QString why = busy.isEmpty()
                                ? QStringLiteral("no BitScope answered on COM1 to COM8")
                                : busy + QStringLiteral(" is busy: in use by another program");
        qCInfo(lcAcquire).noquote() << "identify failed:" << why;
        emit identifyFailed(why, busy, searched);
        return;
    }
    port_.discardInput();
    connected_ = true;
    emit identified(QString::fromStdString(firmware), port_.baudRate(), comPort_,
                    port_.devicePath());
}

// --- One capture --------------------------------------------------------------------------

LinkSession::Step LinkSession::sendChar(char c, int timeoutMs, quint64 seq) {
    if (stallDeadline_.hasExpired()) {
        return Step::Failed;
    }
    // Whatever has come and is owed by nothing is stale: the input is discarded.
    if (!drain()) {
        return Step::Lost;
    }
    framer_.expectEcho(c);
    const SerialStatus w = port_.write(QByteArray(1, c));
    if (!w.ok()) {
        framer_.giveUp();
        if (w.error == SerialError::DeviceLost || w.error == SerialError::NotOpen) {
            return Step::Lost;
        }
        echoFault(seq, QStringLiteral("could not send \"%1\": %2").arg(c).arg(w.detail));
        return Step::Ok;
    }
    const Step s = awaitFrame(QDeadlineTimer(timeoutMs), false);
    if (s != Step::Ok && s != Step::Failed) {
        return s;
    }
    if (framer_.waiting()) {
        framer_.giveUp(); // still owed: taken as this echo when it comes
        ++counters_.timeouts;
        echoFault(seq, QStringLiteral("no echo of \"%1\" within %2 ms").arg(c).arg(timeoutMs));
    } else if (framer_.outcome().echo != c) {
        echoFault(seq, QStringLiteral("\"%1\" was echoed as byte %2")
                           .arg(c)
                           .arg(static_cast<unsigned char>(framer_.outcome().echo)));
    }
    return Step::Ok;
}

void LinkSession::echoFault(quint64 seq, const QString& why) {
    qCInfo(lcAcquire).noquote() << "capture" << seq << "echo:" << why;
    sendFailed_ = true;
    emit echoFailed(seq, why);
}

LinkSession::Step LinkSession::pump(QDeadlineTimer deadline, bool interruptible) {
    if (stopping_) {
        return Step::Stopped;
    }
    if (interruptible && ordersWaiting()) {
        return Step::Interrupted;
    }
    QDeadlineTimer until = deadline;
    if (!stallDeadline_.isForever() &&
        (until.isForever() || stallDeadline_.deadlineNSecs() < until.deadlineNSecs())) {
        until = stallDeadline_;
    }
    switch (port_.waitReadable(until)) {
    case SerialPort::Wait::Data:
        return drain() ? Step::Ok : Step::Lost;
    case SerialPort::Wait::Lost:
        // The last bytes before the hang-up still count; the line is lost whatever drain says.
        static_cast<void>(drain());
        return Step::Lost;
    case SerialPort::Wait::Woken:
        return Step::Ok;
    case SerialPort::Wait::Timeout:
        // The deadline is ours, not the line's: a busy machine may wake us late, so what the
        // driver holds by now still counts.
        return drain() ? Step::Timeout : Step::Lost;
    }
    return Step::Ok;
}

LinkSession::Step LinkSession::awaitFrame(QDeadlineTimer deadline, bool interruptible) {
    while (framer_.waiting()) {
        const Step s = pump(deadline, interruptible);
        if (s == Step::Ok) {
            continue;
        }
        if (!framer_.waiting()) {
            return Step::Ok; // it came complete just before the deadline or the hang-up
        }
        return s == Step::Timeout ? Step::Failed : s;
    }
    return Step::Ok;
}

void LinkSession::fail(quint64 seq, CaptureFault fault, const QString& why) {
    qCInfo(lcAcquire).noquote() << "capture" << seq << "failed:" << why;
    publishCounters();
    emit captureFailed(seq, fault, why);
    settle();
}

bool LinkSession::waitQuiet(int limitMs) {
    QDeadlineTimer limit(limitMs);
    while (!stopping_ && !limit.hasExpired()) {
        const SerialPort::Wait w = port_.waitReadable(QDeadlineTimer(t_.quietMs));
        if (w == SerialPort::Wait::Timeout) {
            return true;
        }
        if (w == SerialPort::Wait::Lost || !drain()) {
            return false;
        }
    }
    return true;
}

void LinkSession::settle() {
    // Whatever the instrument still sends belongs to the capture given up; start the next
    // one only when it has finished, so that none of it is taken for an echo.
    framer_.giveUp();
    if (!waitQuiet(t_.settleLimitMs)) {
        goneAway();
        return;
    }
    framer_.reset();
    emit lineQuiet();
}

void LinkSession::runCapture(const CaptureOrder& order) {
    // The capture's time limits hold for this capture alone, however it ends.
    struct ClearStall {
        QDeadlineTimer& d;
        ~ClearStall() { d = QDeadlineTimer(QDeadlineTimer::Forever); }
    } clearStall{stallDeadline_};
    if (!connected_ || !port_.isOpen()) {
        lose(QStringLiteral("%1 is not connected").arg(portName()), false);
        return;
    }
    if (!program(order)) {
        return;
    }
    if (awaitTrigger(order) != Step::Ok) {
        return;
    }
    quint8 r3 = order.r3;
    quint8 r4 = order.r4;
    const std::uint64_t mismatchesBefore = framer_.counts().mismatches;
    requestDump(order, r3, r4);
    QByteArray samples;
    if (dump(order, samples) == Step::Ok) {
        // A character of the dump request that came back as another may have reached the
        // instrument as that other: the dump may come from another address or in another
        // mode. It has been read to its end, so the line stays in step, but it is not drawn.
        // (A late echo is only late: it has been taken, by count, before the first block.)
        if (framer_.counts().mismatches != mismatchesBefore) {
            fail(order.seq, CaptureFault::Framing,
                 QStringLiteral("the dump request was not echoed as sent, so the dump may not "
                                "be the trace's"));
            return;
        }
        publishCounters();
        emit captureArrived(order.seq, samples);
    }
}

bool LinkSession::program(const CaptureOrder& order) {
    sendFailed_ = false;
    const std::string text = wire::updateSequence(order.regs) + wire::kArm;
    // Each character goes out and comes back once.
    stallDeadline_ =
        after(static_cast<double>(text.size()) * 2.0 * byteSeconds() + t_.stallGraceMs / 1000.0);
    bool traced = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == wire::kArm && i + 1 == text.size()) {
            if (sendFailed_) {
                break; // a register did not take: no trace is requested
            }
        }
        const Step s = sendChar(c, t_.programMs, order.seq);
        if (s == Step::Lost) {
            goneAway();
            return false;
        }
        if (s == Step::Stopped) {
            return false;
        }
        if (s == Step::Failed) {
            // The whole exchange is far past its time: nothing is answering.
            lose(QStringLiteral("the instrument on %1 stopped answering").arg(portName()), false);
            return false;
        }
        traced = i + 1 == text.size();
    }
    // The trigger may take any time: no limit until its answer begins.
    stallDeadline_ = QDeadlineTimer(QDeadlineTimer::Forever);
    if (!traced) {
        emit programmed(order.seq, false);
        fail(order.seq, CaptureFault::EchoFailed,
             QStringLiteral("the instrument did not echo every register: no trace requested"));
        return false;
    }
    // The trace request itself is not echo-checked: its echo leads the answer.
    if (!drain()) {
        goneAway();
        return false;
    }
    framer_.expectTraceReply();
    if (!port_.write(QByteArray(1, wire::kTrace)).ok()) {
        framer_.giveUp();
        goneAway();
        return false;
    }
    emit programmed(order.seq, true);
    return true;
}

LinkSession::Step LinkSession::awaitTrigger(const CaptureOrder& order) {
    // The trigger may take any time; once its answer begins, the rest of the capture comes
    // at line speed and has that long, and a little more, to arrive.
    const auto restOfCapture = [&](std::int64_t answerBytes) {
        const double line =
            static_cast<double>(answerBytes + 40 + std::int64_t{order.chunks} * 514) *
            byteSeconds();
        stallDeadline_ = after(line + t_.stallGraceMs / 1000.0);
    };
    bool started = false;
    while (framer_.waiting()) {
        if (!started && framer_.replyStarted()) {
            started = true;
            restOfCapture(kAnswerRest);
        }
        const Step s = pump(QDeadlineTimer(QDeadlineTimer::Forever), true);
        switch (s) {
        case Step::Ok:
            continue;
        case Step::Interrupted:
            framer_.giveUp(); // should the answer still come, it is taken and dropped
            return s;
        case Step::Stopped:
            return s;
        case Step::Lost:
            if (!framer_.waiting()) {
                break;
            }
            goneAway();
            return s;
        case Step::Timeout:
        case Step::Failed:
            if (!framer_.waiting()) {
                break;
            }
            ++counters_.timeouts;
            fail(order.seq, CaptureFault::Stalled,
                 QStringLiteral("the trigger answer stopped arriving halfway"));
            return Step::Failed;
        }
    }
    if (framer_.outcome().status == ReplyFramer::Status::Broken) {
        fail(order.seq, CaptureFault::Framing, QString::fromStdString(framer_.outcome().why));
        return Step::Failed;
    }
    if (!started) {
        restOfCapture(0);
    }
    return Step::Ok;
}

void LinkSession::requestDump(const CaptureOrder& order, quint8& r3, quint8& r4) {
    const std::string answer = framer_.outcome().answer;
    if (const auto a = SplitDumpAddress(answer, order.dumpOffset)) {
        r3 = a->r3;
        r4 = a->r4;
    }
    emit triggerAnswered(order.seq, QString::fromStdString(answer), r3, r4);
    const std::uint8_t mode = regs::dumpMode(order.r7, order.showTrigLogic);
    // Echo failures here show on the light, but the dump is asked for regardless.
    for (char c : wire::dumpRequestSequence(r3, r4, mode)) {
        if (sendChar(c, t_.dumpRequestMs, order.seq) != Step::Ok) {
            break; // the dump below finds out what became of the line
        }
    }
}

void LinkSession::dumpStalled(quint64 seq, const QString& why) {
    ++counters_.timeouts;
    publishCounters();
    emit captureFailed(seq, CaptureFault::Stalled, why);
    // The serial component's read time-out is its error event: the link is down.
    lose(QStringLiteral("%1: %2").arg(portName(), why), false);
    settle();
}

// The rest of this block may never come (its "M" lost on the line, the block cut short): were
// it still owed, the next capture's echoes would be taken for it. The bytes that do come are
// discarded, never read as anything; the next order starts once the line is quiet, with
// nothing owed.
LinkSession::Step LinkSession::dumpInterrupted() {
    framer_.giveUp();
    if (!waitQuiet(t_.settleLimitMs)) {
        goneAway();
        return Step::Lost;
    }
    framer_.reset(); // owes nothing to this dump
    return Step::Interrupted;
}

LinkSession::Step LinkSession::dump(const CaptureOrder& order, QByteArray& samples) {
    // At least one block: a capture asked for before any timebase was set still ends.
    const int chunks = std::max(1, order.chunks);
    samples.reserve(chunks * ReplyFramer::kBlockSamples);
    for (int k = 1; k <= chunks; ++k) {
        if (stopping_) {
            return Step::Stopped;
        }
        if (ordersWaiting()) {
            return Step::Interrupted;
        }
        if (!drain()) {
            goneAway();
            return Step::Lost;
        }
        framer_.expectBlock();
        if (!port_.write(QByteArray(1, wire::kDump)).ok()) {
            framer_.giveUp();
            goneAway();
            return Step::Lost;
        }
        if (k == 1) {
            emit dumpStarted(order.seq);
        }
        const QDeadlineTimer blockDeadline(t_.blockMs);
        const Step s = awaitFrame(blockDeadline, true);
        switch (s) {
        case Step::Ok:
            break;
        case Step::Interrupted:
            return dumpInterrupted();
        case Step::Stopped:
            return s;
        case Step::Lost:
            goneAway();
            return s;
        case Step::Timeout:
        case Step::Failed:
            dumpStalled(order.seq, blockDeadline.hasExpired()
                                       ? QStringLiteral("dump block %1 of %2 did not arrive "
                                                        "within %3 s")
                                             .arg(k)
                                             .arg(chunks)
                                             .arg(t_.blockMs / 1000.0)
                                       : QStringLiteral("the dump stopped arriving"));
            return s;
        }
        samples.append(framer_.outcome().block.data(),
                       static_cast<qsizetype>(framer_.outcome().block.size()));
        emit blockArrived(order.seq, k, chunks);
    }
    return Step::Ok;
}

} // namespace tracely
