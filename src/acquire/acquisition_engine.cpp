#include "src/acquire/acquisition_engine.h"

#include "src/acquire/display_points.h"
#include "src/acquire/link_session.h"
#include "src/acquire/sample_unpack.h"
#include "src/acquire/trigger_search.h"
#include "src/instrument/lamp_colours.h"
#include "src/instrument/status_texts.h"
#include "src/instrument/timebase.h"
#include "src/link/link_reporter.h"
#include "src/link/time_config.h"

namespace tracely {

AcquisitionEngine::AcquisitionEngine(FrontPanelState& state, ConfiguredPort configured,
                                     QObject* parent)
    : QObject(parent), s_(state), configured_(std::move(configured)),
      session_(std::make_unique<LinkSession>()) {
    clock_.start();
    waitingHint_.setSingleShot(true);
    waitingHint_.setInterval(kWaitingHintMs);
    connect(&waitingHint_, &QTimer::timeout, this, [this] {
        if (s_.blnAwaitTrig) {
            emit statusText(QStringLiteral("Waiting for trigger"));
            emit phaseChanged(LinkPhase::Waiting, {});
        }
    });
    LinkSession* l = session_.get();
    // Everything the line's thread reports is applied here, on the GUI thread, in order.
    const auto q = Qt::QueuedConnection;
    connect(l, &LinkSession::identified, this, &AcquisitionEngine::onIdentified, q);
    connect(l, &LinkSession::identifyFailed, this, &AcquisitionEngine::onIdentifyFailed, q);
    connect(l, &LinkSession::echoFailed, this, &AcquisitionEngine::onEchoFailed, q);
    connect(l, &LinkSession::programmed, this, &AcquisitionEngine::onProgrammed, q);
    connect(l, &LinkSession::triggerAnswered, this, &AcquisitionEngine::onTriggerAnswered, q);
    connect(l, &LinkSession::dumpStarted, this, &AcquisitionEngine::onDumpStarted, q);
    connect(l, &LinkSession::blockArrived, this, &AcquisitionEngine::onBlockArrived, q);
    connect(l, &LinkSession::captureArrived, this, &AcquisitionEngine::onCaptureArrived, q);
    connect(l, &LinkSession::captureFailed, this, &AcquisitionEngine::onCaptureFailed, q);
    connect(l, &LinkSession::linkLost, this, &AcquisitionEngine::onLinkLost, q);
    connect(l, &LinkSession::lineQuiet, this, &AcquisitionEngine::onLineQuiet, q);
    connect(l, &LinkSession::countersChanged, this, &AcquisitionEngine::onCounters, q);
    session_->start();
}

AcquisitionEngine::~AcquisitionEngine() {
    stop();
}

void AcquisitionEngine::stop() {
    if (session_) {
        session_->stop();
    }
}

void AcquisitionEngine::setTimeouts(const LinkTimeouts& t, int waitingHintMs) {
    session_->setTimeouts(t);
    waitingHint_.setInterval(waitingHintMs);
}

void AcquisitionEngine::light(std::uint32_t colour, bool lit) {
    emit lightChanged(colour, lit);
}

QString AcquisitionEngine::portPath(int n) const {
    return resolvePortPath(n, configured_);
}

bool AcquisitionEngine::ComPortExists(int n) const {
    return deviceExists(portPath(n));
}

bool AcquisitionEngine::portPermitted(int n) const {
    return mayOpenDevice(portPath(n));
}

QString AcquisitionEngine::linkHealth() const {
    return describeHealth(health_);
}

void AcquisitionEngine::CofigTime() {
    timebase::CofigTime(s_, timeRange_);
}

void AcquisitionEngine::showLinkDown() {
    const auto say = [this](const char* key, const std::string& text) {
        emit panelText(QString::fromLatin1(key), QString::fromStdString(text));
    };
    say(status::kFirmware, status::firmwareText());
    say(status::kBaudRate, status::baudText());
    say(status::kComPort, status::comPortText());
    say(status::kSampleRate, status::sampleRateText(s_.strSampleRate));
    say(status::kCursorData, status::cursorsOnText(s_.strCursorsOn));
}

// --- InitHdwe and Update --------------------------------------------------------------------

void AcquisitionEngine::InitHdwe(std::function<void(bool)> done) {
    if (done) {
        identifyWaiters_.push_back(std::move(done));
    }
    if (identifying_) {
        return;
    }
    identifying_ = true;
    ++seq_; // whatever capture was under way is given up
    s_.blnConnected = false;
    s_.blnAwaitTrig = s_.blnDumping = s_.blnArmed = false;
    IdentifyOrder order;
    order.autoPort = s_.blnAutoPort;
    order.comPort = s_.intComPort;
    for (int n = 1; n <= 8; ++n) {
        order.configured[static_cast<std::size_t>(n)] = configuredPortPath(n, configured_);
    }
    emit statusText(QStringLiteral("Looking for the BitScope..."));
    emit phaseChanged(LinkPhase::Searching, order.autoPort
                                                ? QStringLiteral("COM1…COM8")
                                                : QStringLiteral("COM%1").arg(order.comPort));
    session_->identify(std::move(order));
}

void AcquisitionEngine::Update() {
    if (identifying_) {
        updateAfterIdentify_ = true;
        return;
    }
    if (!s_.blnConnected) {
        updateAfterIdentify_ = true;
        InitHdwe();
        return;
    }
    continueUpdate();
}

void AcquisitionEngine::continueUpdate() {
    if (s_.blnTimeChanged) {
        CofigTime();
        s_.blnTimeChanged = false;
    }
    commitCaptureGeometry(s_);
    light(0, false);
    s_.blnSendFailed = false;
    // What this capture will be read with: the registers as they go out now.
    s_.bytS_REG_R5 = s_.bytREG_R5;
    s_.bytS_REG_R6 = s_.bytREG_R6;
    s_.bytS_REG_R7 = s_.bytREG_R7;
    s_.bytS_REG_R8 = s_.bytREG_R8;

    CaptureOrder o;
    o.seq = ++seq_;
    o.regs = {s_.bytREG_R5,  s_.bytREG_R6,  s_.bytREG_R7,  s_.bytREG_R8,  s_.bytREG_R11,
              s_.bytREG_R12, s_.bytREG_R13, s_.bytREG_R14, s_.bytREG_R15, s_.bytREG_R20};
    o.chunks = s_.intChunksLeft;
    o.dumpOffset = s_.intDumpOffset;
    o.r3 = s_.bytREG_R3;
    o.r4 = s_.bytREG_R4;
    o.r7 = s_.bytREG_R7;
    o.showTrigLogic = s_.blnShowTrigLogic;
    // A new request ends the previous capture's wait, as it would on the instrument. A trace
    // is pending from now on: trigger changes made while its registers go out are sent again.
    s_.blnAwaitTrig = s_.blnDumping = false;
    s_.blnArmed = true;
    emit progressChanged(0, 0, 0.0);
    session_->capture(o);
}

void AcquisitionEngine::onIdentified(const QString& firmware, qint32 baud, int comPort,
                                     const QString& path) {
    identifying_ = false;
    s_.varFirmware = firmware.toStdString();
    s_.lngBaudRate = baud;
    s_.intComPort = static_cast<std::int16_t>(comPort);
    const auto say = [this](const char* key, const std::string& text) {
        emit panelText(QString::fromLatin1(key), QString::fromStdString(text));
    };
    say(status::kFirmware, status::firmwareText(s_.varFirmware));
    say(status::kBaudRate, status::baudText(std::to_string(baud)));
    say(status::kComPort, status::comPortText(std::to_string(comPort)));
    say(status::kSampleRate, status::sampleRateText(s_.strSampleRate));
    light(0, false);
    s_.blnConnected = true;
    s_.blnTimeChanged = true;
    CofigTime();
    s_.blnTimeChanged = false;
    emit statusText(QStringLiteral("Connected on COM%1 (%2)").arg(comPort).arg(path));
    emit phaseChanged(LinkPhase::Connected, QStringLiteral("COM%1").arg(comPort));
    for (auto& done : std::exchange(identifyWaiters_, {})) {
        done(true);
    }
    if (std::exchange(updateAfterIdentify_, false)) {
        continueUpdate();
    }
}

void AcquisitionEngine::onIdentifyFailed(const QString& why, const QString&,
                                         const QString& searched) {
    identifying_ = false;
    updateAfterIdentify_ = false;
    rearmPending_ = false;
    s_.blnConnected = false;
    light(colour::kRed, true);
    showLinkDown();
    health_.lastFault = why;
    emit statusText(QStringLiteral("Not connected: ") + why + QStringLiteral("; ") + searched);
    emit phaseChanged(LinkPhase::NotFound, searched);
    noteHealth();
    for (auto& done : std::exchange(identifyWaiters_, {})) {
        done(false);
    }
    emit commError();
}

// --- The capture under way --------------------------------------------------------------------

void AcquisitionEngine::onEchoFailed(quint64 seq, const QString& why) {
    health_.lastFault = why;
    if (!current(seq)) {
        return;
    }
    light(colour::kRed, true);
    s_.blnSendFailed = true;
}

void AcquisitionEngine::onProgrammed(quint64 seq, bool traceRequested) {
    if (!current(seq) || !traceRequested) {
        return;
    }
    const int rows = std::max<int>(s_.intCaptureLen, 0);
    s_.bytSampleBuf.assign(static_cast<std::size_t>(rows), SampleRow{});
    s_.intWriteIdx = 1;
    s_.varTrigAnswer.clear();
    s_.blnAwaitTrig = true;
    s_.blnDumping = false;
    light(colour::kYellow, true);
    s_.blnArmed = true;
    // Said only when the wait is long enough to read: in repeat mode a trigger usually
    // comes within a millisecond, and the words would flicker with every capture.
    waitingHint_.start();
}

void AcquisitionEngine::onTriggerAnswered(quint64 seq, const QString& answer, quint8 r3,
                                          quint8 r4) {
    if (!current(seq)) {
        return;
    }
    s_.blnAwaitTrig = false;
    light(0, false);
    s_.blnArmed = false;
    s_.varTrigAnswer = answer.toStdString();
    s_.bytREG_R3 = r3;
    s_.bytREG_R4 = r4;
}

void AcquisitionEngine::onDumpStarted(quint64 seq) {
    if (!current(seq)) {
        return;
    }
    s_.blnDumping = true;
    light(colour::kBlue, true);
    const double seconds = std::max<int>(s_.intChunksLeft, 1) * 513.0 * 10.0 /
                           std::max<std::int32_t>(s_.lngBaudRate, 1);
    showProgress_ = seconds >= kProgressThresholdS;
    if (showProgress_) {
        emit phaseChanged(LinkPhase::Receiving, {});
        emit progressChanged(0, std::max<int>(s_.intChunksLeft, 1), seconds);
    }
}

void AcquisitionEngine::onBlockArrived(quint64 seq, int done, int total) {
    if (!current(seq)) {
        return;
    }
    s_.intChunksLeft = static_cast<std::int16_t>(total - done);
    if (showProgress_ && done < total) {
        const double left =
            (total - done) * 513.0 * 10.0 / std::max<std::int32_t>(s_.lngBaudRate, 1);
        emit progressChanged(done, total, left);
    }
}

void AcquisitionEngine::onCaptureArrived(quint64 seq, const QByteArray& samples) {
    if (!current(seq)) {
        return;
    }
    unpackSamples(s_, samples);
    s_.intChunksLeft = 0;
    s_.blnDumping = false;
    showProgress_ = false;
    emit progressChanged(0, 0, 0.0);
    light(0, false);
    if (consecutiveFailures_ > 0) {
        ++health_.recoveries;
    }
    consecutiveFailures_ = 0;
    ++health_.captures;
    noteHealth();
    emit statusText(s_.blnRepeat && !s_.blnStored
                        ? QStringLiteral("Running: %1 captures").arg(health_.captures)
                        : QStringLiteral("Capture complete"));
    emit phaseChanged(LinkPhase::Captured, {});
    ProcessCapture();
}

void AcquisitionEngine::ProcessCapture() {
    if (s_.blnStored) {
        return; // the display is frozen; in repeat mode too, nothing more is requested
    }
    s_.blnCaptureDone = false;
    TriggerSearch(s_, s_.intTrigStart, panel_.logicTrigger);
    buildDisplayPoints(s_, panel_.chAEnabled, panel_.chBEnabled);
    s_.blnCaptureDone = true;
    emit captureReady();
    if (s_.blnRepeat) {
        Update();
    }
}

void AcquisitionEngine::onCaptureFailed(quint64 seq, CaptureFault fault, const QString& why) {
    ++health_.discarded;
    health_.lastFault = why;
    noteHealth();
    if (!current(seq)) {
        return;
    }
    s_.blnAwaitTrig = s_.blnDumping = s_.blnArmed = false;
    showProgress_ = false;
    emit progressChanged(0, 0, 0.0);
    light(colour::kRed, true);
    emit statusText(fault == CaptureFault::EchoFailed
                        ? QStringLiteral("No trace requested: ") + why
                        : QStringLiteral("Capture discarded: ") + why);
    failure(why, true);
}

void AcquisitionEngine::onLinkLost(const QString& why) {
    ++health_.linkLosses;
    health_.lastFault = why;
    noteHealth();
    if (identifying_) {
        return; // the identification under way decides what the link is
    }
    ++seq_;
    showLinkDown();
    light(colour::kRed, true);
    s_.blnConnected = false;
    s_.blnAwaitTrig = s_.blnDumping = s_.blnArmed = false;
    showProgress_ = false;
    emit progressChanged(0, 0, 0.0);
    emit statusText(QStringLiteral("Link lost: ") + why);
    emit phaseChanged(LinkPhase::NoInstrument, QStringLiteral("link lost: ") + why);
    failure(why, false);
}

void AcquisitionEngine::failure(const QString& why, bool rearmable) {
    ++consecutiveFailures_;
    rearmPending_ = false;
    if (!s_.blnRepeat || !keepRepeating_ || s_.blnStored || !rearmable) {
        if (rearmable) {
            emit phaseChanged(LinkPhase::GaveUp, why);
        }
        return;
    }
    if (consecutiveFailures_ >= kMaxConsecutiveFailures) {
        emit statusText(QStringLiteral("Repeat stopped after %1 failed captures in a row: %2")
                            .arg(consecutiveFailures_)
                            .arg(why));
        emit phaseChanged(LinkPhase::GaveUp, why);
        return;
    }
    rearmPending_ = true;
}

void AcquisitionEngine::onLineQuiet() {
    if (std::exchange(rearmPending_, false) && s_.blnRepeat && !s_.blnStored) {
        Update();
    }
}

void AcquisitionEngine::onCounters(const LineCounters& c) {
    health_.line = c;
    noteHealth();
}

void AcquisitionEngine::noteHealth() {
    rates_.add({static_cast<double>(clock_.nsecsElapsed()) * 1e-9,
                static_cast<double>(health_.captures), static_cast<double>(health_.line.bytesIn),
                static_cast<double>(health_.line.bytesOut)});
    rates_.rates(health_);
    emit healthChanged();
}

// --- The capture cycle's buttons ------------------------------------------------------------

void AcquisitionEngine::acquireClicked() {
    s_.blnStored = false;
    consecutiveFailures_ = 0;
    Update();
}

void AcquisitionEngine::storeClicked(bool value) {
    if (value) {
        s_.blnStored = true;
    }
}

void AcquisitionEngine::sampleModeChanged(bool repeat) {
    s_.blnRepeat = repeat;
}

} // namespace tracely
