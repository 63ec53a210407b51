#include "src/acquire/receiver.h"

#include "src/link/wire.h"

#include <algorithm>

namespace tracely {

namespace {
constexpr int kAnswerTimeoutMs = 5;
constexpr int kBlockTimeoutMs = 3000;
} // namespace

Receiver::Receiver(FrontPanelState& state, SerialPort& port, StatusLight& light,
                   LinkReporter& reporter, std::function<void()> requestDump,
                   std::function<void()> processCapture, QObject* parent)
    : QObject(parent), s_(state), port_(port), light_(light), reporter_(reporter),
      requestDump_(std::move(requestDump)), processCapture_(std::move(processCapture)) {
    connect(&port_, &SerialPort::dataReceived, this, &Receiver::onData);
    connect(&port_, &SerialPort::errorOccurred, this, &Receiver::onError);
}

void Receiver::onData(const QByteArray& data) {
    if (s_.blnDumping) {
        onDumpBlock(data);
    } else if (s_.blnAwaitTrig) {
        onTriggerAnswer(data);
    }
    // Neither: nothing was asked for, and nothing changes.
}

void Receiver::onTriggerAnswer(const QByteArray& text) {
    s_.blnAwaitTrig = false;
    const auto without = [](QByteArray t, std::initializer_list<char> drop) {
        t.removeIf([&](char c) { return std::find(drop.begin(), drop.end(), c) != drop.end(); });
        return t.toStdString();
    };
    switch (text.size()) {
    case 1:
        // The echo of "T": the answer itself follows once the instrument has triggered.
        light_.setColour(colour::kYellow);
        light_.setLit(true);
        s_.blnAwaitTrig = true;
        port_.startRead(6);
        return;
    case 6:
        light_.setLit(false);
        s_.blnArmed = false;
        s_.varTrigAnswer = without(text, {'\r'});
        port_.setWaitForever(false);
        port_.setReadTimeout(kAnswerTimeoutMs);
        port_.apply();
        requestDump_();
        port_.discardInput();
        break;
    case 7:
        light_.setLit(false);
        s_.blnArmed = false;
        s_.varTrigAnswer = without(text, {'\r', 'T', 't'});
        requestDump_();
        port_.discardInput();
        port_.setWaitForever(false);
        break;
    default:
        return; // an answer of another length: the capture stalls until the next Update
    }
    port_.setReadTimeout(kBlockTimeoutMs);
    port_.setTextMode(false);
    port_.apply();
    requestBlock();
}

void Receiver::requestBlock() {
    if (!port_.write(QByteArray(1, wire::kDump)).ok()) {
        return; // the capture stalls; the error event (if any) has reported the link
    }
    s_.blnDumping = true;
    light_.setColour(colour::kBlue);
    light_.setLit(true);
    port_.startRead(wire::kDumpBlockBytes);
}

void Receiver::unpackBlock(FrontPanelState& s, const QByteArray& block) {
    const int upper = static_cast<int>(block.size()) - 1;
    const auto capacity = static_cast<int>(std::min<std::size_t>(
        static_cast<std::size_t>(std::max<int>(s.intCaptureLen, 0)), s.bytSampleBuf.size()));
    for (int i = 1; i + 1 <= upper; i += 2) {
        if (s.intWriteIdx >= 1 && s.intWriteIdx <= capacity) {
            SampleRow& row = s.bytSampleBuf[static_cast<std::size_t>(s.intWriteIdx - 1)];
            row.logic = static_cast<std::uint8_t>(block[i]);
            row.analog = static_cast<std::uint8_t>(block[i + 1]);
            ++s.intWriteIdx;
        }
    }
}

void Receiver::onDumpBlock(const QByteArray& block) {
    s_.blnDumping = false;
    if (block.size() - 1 < 3) {
        return; // too short to carry samples: the capture stalls
    }
    --s_.intChunksLeft;
    unpackBlock(s_, block);
    // Counting down past zero (a capture requested without a timebase) must end the dump,
    // not ask for blocks without end.
    if (s_.intChunksLeft > 0) {
        requestBlock();
        return;
    }
    light_.setLit(false);
    processCapture_();
}

void Receiver::onError(SerialError, const QString&) {
    reportLinkDown(reporter_, s_);
    light_.setColour(colour::kRed);
    light_.setLit(true);
    s_.blnConnected = false;
}

} // namespace tracely
