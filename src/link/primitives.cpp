#include "src/link/primitives.h"

#include "src/link/wire.h"

namespace tracely {

LinkPrimitives::LinkPrimitives(FrontPanelState& state, SerialPort& port, StatusLight& light,
                               ConfiguredPort configured)
    : s_(state), port_(port), light_(light), configured_(std::move(configured)) {}

void LinkPrimitives::fail() {
    light_.setColour(colour::kRed);
    light_.setLit(true);
    s_.blnSendFailed = true;
}

void LinkPrimitives::Send_Char(char c) {
    if (!s_.blnConnected) {
        return;
    }
    if (!port_.discardInput().ok() || !port_.write(QByteArray(1, c)).ok()) {
        fail();
        return;
    }
    const ReadResult echo = port_.read(1);
    if (!echo.ok() || echo.data.at(0) != c) {
        fail();
    }
}

void LinkPrimitives::sendChars(const std::string& chars) {
    for (char c : chars) {
        Send_Char(c);
    }
}

void LinkPrimitives::SendTrace() {
    if (!s_.blnConnected) {
        return;
    }
    const int rows = s_.intCaptureLen > 0 ? s_.intCaptureLen : 0;
    s_.bytSampleBuf.assign(static_cast<std::size_t>(rows), SampleRow{});
    s_.intWriteIdx = 1;
    Send_Char(wire::kArm);

    port_.setTextMode(true);
    if (!port_.discardInput().ok()) {
        return;
    }
    port_.setWaitForever(true);
    if (!port_.apply().ok()) {
        return;
    }
    s_.varTrigAnswer.clear();
    s_.blnAwaitTrig = true;
    s_.blnDumping = false;
    if (!port_.write(QByteArray(1, wire::kTrace)).ok()) {
        return;
    }
    light_.setColour(colour::kYellow);
    light_.setLit(true);
    s_.blnArmed = true;
    port_.startRead(1);
}

bool LinkPrimitives::ComPortExists(int n) const {
    return deviceExists(portPath(n));
}

} // namespace tracely
