#include "sim/instrument.h"

#include "src/link/hex.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tracely::sim {

namespace {
bool answersAt(const Options& o, int baud) {
    return std::find(o.bauds.begin(), o.bauds.end(), baud) != o.bauds.end();
}
} // namespace

Instrument::Instrument(const Options& options, Pacer& out)
    : o_(options), out_(out), source_(options), faultsAsleep_(options.faultsAfter > 0),
      chaosOn_(options.chaos.everyTraces > 0) {
    if (!faultsAsleep_) {
        faults_ = o_.faults;
    }
    // Power-on register values: a level trigger at mid scale on the analog byte, 25 MSa/s.
    regs_[5] = 128;
    regs_[7] = 3;
    regs_[8] = 1;
    regs_[14] = 0xFF;
}

char Instrument::garbageFor(char c) {
    auto g = static_cast<char>(mix(o_.seed, 0x6A, garbageCount_++) & 0xFF);
    return g == c ? static_cast<char>(g ^ 0x55) : g;
}

void Instrument::sendGarbage(double now, int count) {
    std::string g;
    for (int i = 0; i < count; ++i) {
        g += garbageFor('\0');
    }
    out_.push(g, now);
}

void Instrument::clearFaults() {
    faults_ = Faults{};
    faultsAsleep_ = false;
    chaosOn_ = false;
    once_ = TraceFault{};
}

void Instrument::wakeFaults(char c) {
    if (c == 'M' && last_ != 'M') {
        ++tracesDumped_;
    }
    if (faultsAsleep_ && c == '[' && last_ == 'M' && tracesDumped_ >= o_.faultsAfter) {
        faultsAsleep_ = false;
        faults_ = o_.faults;
        faultsFrom_ = received_ - 1; // this "[" is the first character counted
    }
    last_ = c;
}

void Instrument::traceRequested() {
    ++traceRequests_;
    once_ = TraceFault{};
    if (chaosOn_) {
        drawChaos();
    }
}

void Instrument::drawChaos() {
    const auto draw = [this](std::uint64_t salt) { return mix(o_.seed, salt, traceRequests_); };
    if (draw(0xC4A05) % static_cast<std::uint64_t>(o_.chaos.everyTraces) != 0) {
        return;
    }
    // A character of the dump request or of the next register programming.
    const int at = 1 + static_cast<int>(draw(0xA7) % 40);
    std::string what;
    switch (draw(0x4B1D) % 6) {
    case 0:
        once_.wrongEchoAt = at;
        what = "wrong echo of character " + std::to_string(at) + " after the trace request";
        break;
    case 1:
        once_.lateEchoAt = at;
        once_.lateEchoMs = static_cast<double>(draw(0x1A7E) % 800);
        what = "echo of character " + std::to_string(at) + " " +
               std::to_string(static_cast<int>(once_.lateEchoMs)) + " ms late";
        break;
    case 2:
        once_.lostAt = at;
        what = "character " + std::to_string(at) + " lost on the line";
        break;
    case 3: {
        const int lengths[] = {1, 2, 3, 4, 5, 8, 9};
        once_.answerLength = lengths[draw(0x7E7) % 7];
        what = "trigger answer of " + std::to_string(once_.answerLength) + " characters";
        break;
    }
    case 4:
        once_.shortBlock = 1 + static_cast<int>(draw(0xB10C) % 2);
        what = "dump block " + std::to_string(once_.shortBlock) + " cut short";
        break;
    default:
        once_.garbage = true;
        what = "stray bytes after the answers";
        break;
    }
    ++chaosFaults_;
    if (faultObserver_) {
        faultObserver_(what);
    }
}

void Instrument::receive(char c, double now, int lineBaud) {
    if (receiveObserver_) {
        receiveObserver_(c);
    }
    lineBaud_ = lineBaud;
    out_.setBaud(lineBaud);
    if (once_.lostAt > 0 && c != 'T' && sinceTrace_ + 1 == once_.lostAt) {
        once_.lostAt = 0;
        return; // never arrived: not counted, not echoed, not obeyed
    }
    ++received_;
    wakeFaults(c);
    if (faults_.silent) {
        return;
    }
    if (!answersAt(o_, lineBaud)) {
        // At the wrong speed neither side reads the other's bits as sent.
        out_.push(std::string(1, garbageFor(c)), now);
        return;
    }
    if (trace_) {
        trace_.reset(); // any command ends a waiting trace without an answer
    }
    command(c, now);
}

void Instrument::echo(char c, double now) {
    if ((faults_.wrongEchoAt > 0 &&
         received_ - faultsFrom_ == static_cast<std::uint64_t>(faults_.wrongEchoAt)) ||
        (once_.wrongEchoAt > 0 && sinceTrace_ == once_.wrongEchoAt)) {
        c = c == '!' ? '#' : '!';
    }
    if (faults_.lateEchoAt > 0 && sinceTrace_ == faults_.lateEchoAt) {
        // Handed to the transmitter late: everything sent after it waits behind it.
        now += faults_.lateEchoMs / 1000.0;
    }
    if (once_.lateEchoAt > 0 && sinceTrace_ == once_.lateEchoAt) {
        now += once_.lateEchoMs / 1000.0;
    }
    out_.push(std::string(1, c), now);
}

void Instrument::command(char c, double now) {
    if (c == 'T') {
        sinceTrace_ = 0;
        traceRequested();
    } else if (sinceTrace_ >= 0) {
        ++sinceTrace_;
    }
    if (c == 'T' && o_.answer7) {
        startTrace(now, lineBaud_); // the echo goes out with the answer, as one text
        return;
    }
    echo(c, now);
    const int digit = hex::digitValue(c);
    if (c == '[') {
        number_ = 0;
    } else if (digit >= 0 && (c < 'A' || c > 'F')) { // the wire's digits are lower case
        number_ = (number_ * 16 + digit) & 0xFFFF;
    } else if (c == ']') {
        // the number is complete; it is used by the next "@" or "s"
    } else if (c == '@') {
        selected_ = number_ & 0xFF;
    } else if (c == 's') {
        regs_[static_cast<std::size_t>(selected_)] = static_cast<std::uint8_t>(number_ & 0xFF);
        if (selected_ == 3 || selected_ == 4) {
            addressWritten_ = true;
        }
    } else if (c == 'n') {
        selected_ = (selected_ + 1) & 0xFF;
    } else if (c == '>') {
        if (addressWritten_) {
            dumpAddress_ = static_cast<std::uint16_t>(regs_[4] << 8 | regs_[3]);
            addressWritten_ = false;
        }
    } else if (c == '?') {
        const std::string id = faults_.badIdent ? std::string("BC999999") : o_.ident;
        out_.push("\r" + id + "\r", now);
        if (faults_.garbage) {
            sendGarbage(now, 3);
        }
    } else if (c == 'T') {
        startTrace(now, lineBaud_);
    } else if (c == 'M') {
        sendDumpBlock(now);
    }
}

void Instrument::startTrace(double now, int lineBaud) {
    blocksThisTrace_ = 0;
    if (faults_.hangUpAwaitingTrigger) {
        out_.pushHangUp(now);
        return;
    }
    Trace t;
    t.timing = timingFor(regs_, lineBaud);
    t.adc = adcSetup(regs_);
    t.trigger = triggerSetup(regs_);
    t.searchFrom = static_cast<std::int64_t>(std::ceil(now / t.timing.dt));
    t.nextSearch = now;
    trace_ = t;
    if (!triggerWithheld()) {
        searchStep(now);
    }
}

void Instrument::searchStep(double now) {
    Trace& t = *trace_;
    // Search on, but never more than a second of signal ahead of the clock.
    const auto horizon = static_cast<std::int64_t>(std::floor((now + 1.0) / t.timing.dt));
    const std::int64_t to = std::min(t.searchFrom + kSearchSamplesPerTick, horizon);
    if (to > t.searchFrom) {
        t.found = source_.findTrigger(t.searchFrom, to, t.timing.dt, t.adc, t.trigger);
        t.searchFrom = to;
    }
    if (t.found) {
        // The answer comes once the samples after the trigger have been taken.
        t.answerDue = std::max(now, static_cast<double>(*t.found + t.timing.post) * t.timing.dt);
    } else {
        t.nextSearch = now + kSearchInterval;
    }
}

void Instrument::tick(double now) {
    if (!trace_ || triggerWithheld()) {
        return;
    }
    if (!trace_->found) {
        if (now >= trace_->nextSearch) {
            searchStep(now);
        }
        if (!trace_->found) {
            return;
        }
    }
    if (now >= trace_->answerDue) {
        answerTrace(now);
    }
}

std::optional<double> Instrument::nextEvent() const {
    if (!trace_ || triggerWithheld()) {
        return std::nullopt;
    }
    return trace_->found ? trace_->answerDue : trace_->nextSearch;
}

void Instrument::answerTrace(double now) {
    const Trace t = *trace_;
    trace_.reset();
    ++tracesAnswered_;
    memory_.dt = t.timing.dt;
    memory_.triggerSample = *t.found;
    memory_.triggerAddress = static_cast<std::uint16_t>(*t.found & 0xFFFF);
    memory_.adc = t.adc;
    const auto last = static_cast<unsigned>((memory_.triggerAddress + t.timing.post) & 0xFFFF);

    char digits[8];
    std::snprintf(digits, sizeof digits, "%04x", last);
    std::string answer = "\r" + std::string(digits) + "\r";
    if (o_.answer7) {
        answer = "T" + answer; // the withheld echo
    }
    if (const int length = once_.answerLength > 0 ? once_.answerLength : faults_.answerLength;
        length > 0) {
        answer.resize(static_cast<std::size_t>(length), '0');
    }
    out_.push(answer, now);
    if (faults_.garbage || once_.garbage) {
        sendGarbage(now, 3);
    }
}

void Instrument::sendDumpBlock(double now) {
    ++blocksThisTrace_;
    std::string block;
    block.reserve(512);
    for (int k = 0; k < 256; ++k) {
        const auto addr = static_cast<std::uint16_t>(dumpAddress_ + k);
        const auto delta =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(addr - memory_.triggerAddress));
        const Sample s = source_.sample(memory_.triggerSample + delta, memory_.dt, memory_.adc);
        block += static_cast<char>(s.logic);
        block += static_cast<char>(s.analog);
    }
    dumpAddress_ = static_cast<std::uint16_t>(dumpAddress_ + 256);
    if (blockObserver_) {
        blockObserver_(tracesAnswered_, blocksThisTrace_, block);
    }
    if (faults_.shortBlock == blocksThisTrace_ || once_.shortBlock == blocksThisTrace_) {
        block.resize(100);
    }
    if (faults_.hangUpInBlock == blocksThisTrace_) {
        block.resize(256);
        out_.push(block, now);
        out_.pushHangUp(now);
        return;
    }
    out_.push(block, now);
    if (faults_.garbage || once_.garbage) {
        sendGarbage(now, 3);
    }
}

void Instrument::lineClosed() {
    trace_.reset();
    sinceTrace_ = -1;
    out_.clear();
}

} // namespace tracely::sim
