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
    : o_(options), out_(out), source_(options) {
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

void Instrument::receive(char c, double now, int lineBaud) {
    if (receiveObserver_) {
        receiveObserver_(c);
    }
    ++received_;
    lineBaud_ = lineBaud;
    out_.setBaud(lineBaud);
    if (o_.faults.silent) {
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
    if (o_.faults.wrongEchoAt > 0 &&
        received_ == static_cast<std::uint64_t>(o_.faults.wrongEchoAt)) {
        c = c == '!' ? '#' : '!';
    }
    if (o_.faults.lateEchoAt > 0 && sinceTrace_ == o_.faults.lateEchoAt) {
        // Handed to the transmitter late: everything sent after it waits behind it.
        now += o_.faults.lateEchoMs / 1000.0;
    }
    out_.push(std::string(1, c), now);
}

void Instrument::command(char c, double now) {
    if (c == 'T') {
        sinceTrace_ = 0;
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
        const std::string id = o_.faults.badIdent ? std::string("BC999999") : o_.ident;
        out_.push("\r" + id + "\r", now);
        if (o_.faults.garbage) {
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
    if (o_.faults.hangUpAwaitingTrigger) {
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
    if (!o_.noTrigger) {
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
    if (!trace_ || o_.noTrigger) {
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
    if (!trace_ || o_.noTrigger) {
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
    if (o_.faults.answerLength > 0) {
        answer.resize(static_cast<std::size_t>(o_.faults.answerLength), '0');
    }
    out_.push(answer, now);
    if (o_.faults.garbage) {
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
    if (o_.faults.shortBlock == blocksThisTrace_) {
        block.resize(100);
    }
    if (o_.faults.hangUpInBlock == blocksThisTrace_) {
        block.resize(256);
        out_.push(block, now);
        out_.pushHangUp(now);
        return;
    }
    out_.push(block, now);
    if (o_.faults.garbage) {
        sendGarbage(now, 3);
    }
}

void Instrument::lineClosed() {
    trace_.reset();
    sinceTrace_ = -1;
    out_.clear();
}

} // namespace tracely::sim
