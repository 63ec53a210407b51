#pragma once

#include "src/acquire/link_health.h"
#include "src/acquire/link_options.h"
#include "src/acquire/link_orders.h"
#include "src/acquire/link_phase.h"
#include "src/core/front_panel_state.h"
#include "src/core/panel_routines.h"
#include "src/link/port_names.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tracely {

class LinkSession;

// The front-panel states a capture is turned into display points with.
struct CapturePanel {
    bool chAEnabled = true;
    bool chBEnabled = false;
    bool logicTrigger = false; // the trigger-source box: search the logic byte
};

// The acquisition engine: the link routines (InitHdwe, Update, CofigTime), the receive side
// and the capture cycle (ProcessCapture, Acquire, Store, single/repeat) on the shared state.
// The line itself is talked to on a thread of its own, so the GUI thread never waits on it;
// what happens there comes back as events that this object applies to the state in the
// order the protocol sets. It reports upward only through its signals.
class AcquisitionEngine : public QObject, public LinkRoutines, public LinkOptions {
    Q_OBJECT
public:
    AcquisitionEngine(FrontPanelState& state, ConfiguredPort configured, QObject* parent = nullptr);
    ~AcquisitionEngine() override;

    // What the engine needs of the panel, pushed to it as it changes.
    void setTimeRange(double knobValue) { timeRange_ = knobValue; }
    void setCapturePanel(const CapturePanel& p) { panel_ = p; }
    // Re-arm by itself after a discarded capture in repeat mode.
    void setKeepRepeating(bool on) override { keepRepeating_ = on; }
    bool keepRepeating() const override { return keepRepeating_; }
    // The line's time-outs and the wait before a trigger wait is said in words; tests make
    // them short.
    void setTimeouts(const LinkTimeouts& t, int waitingHintMs = kWaitingHintMs);

    // Finds and identifies the instrument; `done` learns whether the link came up.
    void InitHdwe(std::function<void(bool connected)> done = {}) override;
    // Brings the instrument into line with the panel and asks for a trace.
    void Update() override;
    void CofigTime() override;
    void ProcessCapture();

    void acquireClicked();         // "Acquire"
    void storeClicked(bool value); // "Store"
    void sampleModeChanged(bool repeat);

    bool ComPortExists(int n) const override;
    QString portPath(int n) const override;
    bool portPermitted(int n) const override;
    QString linkHealth() const override;

    // Stops the line's thread and closes the port (the window is closing).
    void stop();

    const LinkHealth& health() const { return health_; }
    // Repeat mode gave up after too many failed captures in a row.
    static constexpr int kMaxConsecutiveFailures = 5;
    // Dumps shorter than this show no progress.
    static constexpr double kProgressThresholdS = 0.5;
    // A trigger wait longer than this is said in words.
    static constexpr int kWaitingHintMs = 500;

signals:
    void lightChanged(quint32 colour, bool lit);
    // A keyed status-bar panel.
    void panelText(const QString& key, const QString& text);
    // What the link is doing, in words.
    void statusText(const QString& text);
    // "Unable to Communicate with Bitscope - Check Comm Port Connection!"
    void commError();
    // The display points were rebuilt from a capture: draw them.
    void captureReady();
    // Dump blocks received of total, and the time left; total 0 hides the readout.
    void progressChanged(int done, int total, double secondsLeft);
    void healthChanged();
    // The link's phase, with its detail: the ports searched ("COM1 (/dev/ttyUSB0), COM2 ...")
    // while searching, what went wrong when it gave up or found nothing.
    void phaseChanged(tracely::LinkPhase phase, const QString& detail);

private:
    void continueUpdate();
    void light(std::uint32_t colour, bool lit);
    void showLinkDown();
    bool current(quint64 seq) const { return seq == seq_; }
    void failure(const QString& why, bool rearmable);
    void noteHealth();

    // Reports from the line's thread.
    void onIdentified(const QString& firmware, qint32 baud, int comPort, const QString& path);
    void onIdentifyFailed(const QString& why, const QString& busyPort, const QString& searched);
    void onEchoFailed(quint64 seq, const QString& why);
    void onProgrammed(quint64 seq, bool traceRequested);
    void onTriggerAnswered(quint64 seq, const QString& answer, quint8 r3, quint8 r4);
    void onDumpStarted(quint64 seq);
    void onBlockArrived(quint64 seq, int done, int total);
    void onCaptureArrived(quint64 seq, const QByteArray& samples);
    void onCaptureFailed(quint64 seq, CaptureFault fault, const QString& why);
    void onLinkLost(const QString& why);
    void onLineQuiet();
    void onCounters(const LineCounters& c);

    FrontPanelState& s_;
    ConfiguredPort configured_;
    std::unique_ptr<LinkSession> session_;
    double timeRange_ = 10.0;
    CapturePanel panel_;
    bool keepRepeating_ = false;

    quint64 seq_ = 0; // the capture whose reports count; older ones are dropped
    bool identifying_ = false;
    bool updateAfterIdentify_ = false;
    std::vector<std::function<void(bool)>> identifyWaiters_;
    int consecutiveFailures_ = 0;
    bool rearmPending_ = false;
    bool showProgress_ = false;

    LinkHealth health_;
    RateWindow rates_;
    QElapsedTimer clock_;
    QTimer waitingHint_;
};

} // namespace tracely
