#include "src/link/instrument_link.h"

#include "src/core/registers.h"
#include "src/link/dump_address.h"
#include "src/link/timebase.h"
#include "src/link/wire.h"

#include <array>

namespace tracely {

namespace {
constexpr int kPorts = 8;
constexpr int kIdentTimeoutMs = 10;
constexpr int kProgramTimeoutMs = 500;
constexpr int kIdentAnswerChars = 11; // "?", eight characters, carriage returns
} // namespace

InstrumentLink::InstrumentLink(FrontPanelState& state, SerialPort& port, StatusLight& light,
                               LinkReporter& reporter, ConfiguredPort configured,
                               KnobValue timeRange)
    : s_(state), port_(port), light_(light), reporter_(reporter),
      prim_(state, port, light, std::move(configured)), timeRange_(std::move(timeRange)) {}

bool InstrumentLink::knownFirmware(const std::string& id) {
    return id == "BC000112" || id == "BC000120" || id == "BC000220";
}

void InstrumentLink::CofigTime() {
    timebase::CofigTime(s_, timeRange_ ? timeRange_() : 0.0);
}

bool InstrumentLink::probe(qint32 baud) {
    port_.setBaudRate(baud);
    port_.discardInput();
    if (!port_.apply().ok() || !port_.write(QByteArray(1, wire::kIdent)).ok()) {
        s_.varFirmware.clear();
        return false;
    }
    const ReadResult answer = port_.read(kIdentAnswerChars);
    std::string id;
    for (char c : answer.data) {
        if (c != '?' && c != '\r') {
            id += c;
        }
    }
    s_.varFirmware = id;
    return knownFirmware(id);
}

void reportLinkDown(LinkReporter& reporter, const FrontPanelState& s) {
    reporter.setPanelText(panel::kFirmware, "Firmware: ");
    reporter.setPanelText(panel::kBaudRate, "Baud: ");
    reporter.setPanelText(panel::kComPort, "Com: ");
    reporter.setPanelText(panel::kSampleRate, "Sample Rate: " + s.strSampleRate);
    reporter.setPanelText(panel::kCursorData, "Cursors On: " + s.strCursorsOn);
}

void InstrumentLink::showLinkUp() {
    reporter_.setPanelText(panel::kFirmware, "Firmware: " + s_.varFirmware);
    reporter_.setPanelText(panel::kBaudRate, "Baud: " + std::to_string(s_.lngBaudRate));
    reporter_.setPanelText(panel::kComPort, "Com: " + std::to_string(s_.intComPort));
    reporter_.setPanelText(panel::kSampleRate, "Sample Rate: " + s_.strSampleRate);
}

void InstrumentLink::InitHdwe() {
    bool notFound = true;
    port_.setTextMode(true);
    port_.setDataBits(8);
    port_.setParity(0);
    port_.setHandshaking(0);
    port_.setWaitForever(false);

    const auto probeBoth = [&] { return probe(115200) || probe(57600); };
    if (s_.blnAutoPort) {
        port_.setDtrEnable(true);
        std::array<bool, kPorts + 1> exists{};
        int highest = 1;
        for (int n = 1; n <= kPorts; ++n) {
            exists[static_cast<std::size_t>(n)] = prim_.ComPortExists(n);
            if (exists[static_cast<std::size_t>(n)]) {
                highest = n;
            }
        }
        for (int n = 1; n <= highest && notFound; ++n) {
            if (!exists[static_cast<std::size_t>(n)]) {
                continue;
            }
            port_.setPortNumber(n);
            port_.setReadTimeout(kIdentTimeoutMs);
            port_.discardInput();
            if (probeBoth()) {
                notFound = false;
                s_.intComPort = static_cast<std::int16_t>(n);
            }
        }
    } else {
        port_.setPortNumber(s_.intComPort);
        port_.setReadTimeout(kIdentTimeoutMs);
        notFound = !probeBoth();
    }

    if (!notFound) {
        s_.lngBaudRate = port_.baudRate();
        showLinkUp();
        light_.setLit(false);
        s_.blnConnected = true;
        s_.blnTimeChanged = true;
        CofigTime();
        s_.blnTimeChanged = false;
        return;
    }
    s_.blnConnected = false;
    light_.setColour(colour::kRed);
    light_.setLit(true);
    reportLinkDown(reporter_, s_);
    reporter_.showCommError();
}

void InstrumentLink::Update() {
    if (!s_.blnConnected) {
        InitHdwe();
        if (!s_.blnConnected) {
            return;
        }
    }
    if (s_.blnTimeChanged) {
        CofigTime();
        s_.blnTimeChanged = false;
    }
    commitCaptureGeometry(s_);
    light_.setLit(false);

    // A port that cannot even be prepared means the link is gone: the next Update identifies
    // the instrument again.
    const bool discarded = port_.discardInput().ok();
    port_.setWaitForever(false);
    port_.setReadTimeout(kProgramTimeoutMs);
    port_.setTextMode(true);
    if (!discarded || !port_.apply().ok()) {
        s_.blnConnected = false;
        return;
    }
    s_.blnSendFailed = false;

    s_.bytS_REG_R5 = s_.bytREG_R5;
    const std::array<std::uint8_t, 1> r5{s_.bytREG_R5};
    prim_.sendChars(wire::registerWrite(5, r5));
    for (auto [reg, shadow] :
         {std::pair{&s_.bytREG_R6, &s_.bytS_REG_R6}, std::pair{&s_.bytREG_R7, &s_.bytS_REG_R7},
          std::pair{&s_.bytREG_R8, &s_.bytS_REG_R8}}) {
        *shadow = *reg; // what this capture will be interpreted with
        prim_.sendChars(std::string(1, wire::kNext) + wire::numberField(*reg) + wire::kStore);
    }
    const std::array<std::uint8_t, 5> timebaseRegs{s_.bytREG_R11, s_.bytREG_R12, s_.bytREG_R13,
                                                   s_.bytREG_R14, s_.bytREG_R15};
    prim_.sendChars(wire::registerWrite(11, timebaseRegs));
    const std::array<std::uint8_t, 1> r20{s_.bytREG_R20};
    prim_.sendChars(wire::registerWrite(20, r20));

    if (!s_.blnSendFailed) {
        prim_.SendTrace();
    }
}

void InstrumentLink::RequestDump() {
    if (!s_.blnConnected) {
        return;
    }
    if (const auto a = SplitDumpAddress(s_.varTrigAnswer, s_.intDumpOffset)) {
        s_.bytREG_R3 = a->r3;
        s_.bytREG_R4 = a->r4;
    }
    const std::uint8_t mode = regs::dumpMode(s_.bytREG_R7, s_.blnShowTrigLogic);
    prim_.sendChars(wire::dumpRequestSequence(s_.bytREG_R3, s_.bytREG_R4, mode));
}

} // namespace tracely
