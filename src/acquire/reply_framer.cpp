#include "src/acquire/reply_framer.h"

#include "src/link/wire.h"

namespace tracely {

namespace {
constexpr int kReplyStart = 0;
constexpr int kReplyAfterT = 1;
constexpr int kReplyFirstDigit = 2;
constexpr int kReplyFinalCr = 6;

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
} // namespace

void ReplyFramer::expect(Item item) {
    giveUp();
    owed_.push_back(std::move(item));
    outcome_ = Outcome{};
    outcome_.status = Status::Pending;
}

void ReplyFramer::expectEcho(char c) {
    Item it{Kind::Echo, 0, true, 0, {}};
    it.echo = c;
    expect(std::move(it));
}

void ReplyFramer::expectTraceReply() {
    expect(Item{Kind::Reply, 0, true, 0, {}});
}

void ReplyFramer::expectBlock() {
    expect(Item{Kind::Block, 0, true, 0, {}});
}

void ReplyFramer::giveUp() {
    if (outcome_.status != Status::Pending || owed_.empty()) {
        return;
    }
    owed_.back().awaited = false;
    outcome_ = Outcome{};
}

void ReplyFramer::reset() {
    owed_.clear();
    outcome_ = Outcome{};
}

bool ReplyFramer::replyStarted() const {
    return waiting() && owed_.back().kind == Kind::Reply && owed_.back().phase >= kReplyFirstDigit;
}

int ReplyFramer::blockBytes() const {
    if (!waiting() || owed_.back().kind != Kind::Block) {
        return 0;
    }
    return static_cast<int>(owed_.back().data.size());
}

bool ReplyFramer::owesOthers() const {
    return owed_.size() > (waiting() ? 1u : 0u);
}

void ReplyFramer::feed(std::string_view bytes) {
    for (char b : bytes) {
        take(b);
    }
}

void ReplyFramer::finish(Status status, std::string why) {
    outcome_.status = status;
    outcome_.why = std::move(why);
}

void ReplyFramer::take(char b) {
    while (!owed_.empty()) {
        Item& front = owed_.front();
        bool consumed = false;
        switch (front.kind) {
        case Kind::Echo:
            consumed = takeEcho(front, b);
            break;
        case Kind::Reply:
            consumed = takeReply(front, b);
            break;
        case Kind::Block:
            consumed = takeBlock(front, b);
            break;
        }
        if (consumed) {
            return;
        }
        // The front item gave way (a trigger answer that was not coming): try the next.
    }
    ++counts_.stray;
}

bool ReplyFramer::takeEcho(Item& it, char b) {
    if (b != it.echo) {
        ++counts_.mismatches;
    }
    const bool awaited = it.awaited;
    owed_.pop_front();
    if (awaited) {
        outcome_.echo = b;
        finish(Status::Done);
    } else {
        ++counts_.lateEchoes;
    }
    return true;
}

bool ReplyFramer::takeReply(Item& it, char b) {
    const bool awaited = it.awaited;
    if (it.phase == kReplyStart || it.phase == kReplyAfterT) {
        if (b == '\r') {
            it.phase = kReplyFirstDigit;
            return true;
        }
        if (it.phase == kReplyStart && (b == 'T' || b == 't')) {
            it.phase = kReplyAfterT; // the echo of "T", alone or in front of the answer
            return true;
        }
        if (!awaited) {
            owed_.pop_front(); // the trace was cancelled before it answered
            return false;
        }
        ++counts_.stray; // before the answer begins, nothing else belongs to it
        return true;
    }
    if (it.phase < kReplyFinalCr) {
        if (isHexDigit(b) || !awaited) {
            it.data += b;
            ++it.phase;
            return true;
        }
        ++counts_.framingErrors;
        owed_.pop_front();
        finish(Status::Broken, "the trigger answer held a character that is not a hex digit");
        return true;
    }
    // The closing carriage return.
    std::string digits = std::move(it.data);
    owed_.pop_front();
    if (!awaited) {
        return true;
    }
    if (b != '\r') {
        ++counts_.framingErrors;
        finish(Status::Broken, "the trigger answer did not end with a carriage return");
        return true;
    }
    outcome_.answer = std::move(digits);
    finish(Status::Done);
    return true;
}

bool ReplyFramer::takeBlock(Item& it, char b) {
    if (it.phase == 0) {
        if (b == wire::kDump) {
            it.phase = 1;
            it.data.reserve(kBlockSamples);
        } else {
            ++counts_.stray; // a block starts with its echo; what comes before it is not ours
        }
        return true;
    }
    it.data += b;
    if (static_cast<int>(it.data.size()) < kBlockSamples) {
        return true;
    }
    const bool awaited = it.awaited;
    std::string data = std::move(it.data);
    owed_.pop_front();
    if (awaited) {
        outcome_.block = std::move(data);
        finish(Status::Done);
    }
    return true;
}

} // namespace tracely
