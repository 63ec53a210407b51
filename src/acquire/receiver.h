#pragma once

#include "src/core/front_panel_state.h"
#include "src/link/link_reporter.h"
#include "src/link/serial_port.h"
#include "src/link/status_light.h"

#include <QObject>

#include <functional>

namespace tracely {

// The receive side of a capture: the trigger answer, then the dump block by block into the
// raw capture buffer; and the link's error event.
class Receiver : public QObject {
    Q_OBJECT
public:
    Receiver(FrontPanelState& state, SerialPort& port, StatusLight& light, LinkReporter& reporter,
             std::function<void()> requestDump, std::function<void()> processCapture,
             QObject* parent = nullptr);

    void onData(const QByteArray& data);
    void onError(SerialError error, const QString& detail);

    // Stores the (logic, analog) pairs of one dump block after its leading byte.
    static void unpackBlock(FrontPanelState& s, const QByteArray& block);

private:
    void onTriggerAnswer(const QByteArray& text);
    void onDumpBlock(const QByteArray& block);
    void requestBlock();

    FrontPanelState& s_;
    SerialPort& port_;
    StatusLight& light_;
    LinkReporter& reporter_;
    std::function<void()> requestDump_;
    std::function<void()> processCapture_;
};

} // namespace tracely
