// The reply framing on arbitrary bytes in every receive state: the input is a script of what
// the program waits for (echo, trigger answer, block), gives up on or resets, and of the bytes
// that arrive. The same bytes split anywhere frame the same way, and what is framed has the
// shape it must have.
#include "src/acquire/reply_framer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using tracely::ReplyFramer;

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "reply_framer_fuzz: %s\n", what);
        std::abort();
    }
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool sameState(const ReplyFramer& a, const ReplyFramer& b) {
    const ReplyFramer::Outcome& x = a.outcome();
    const ReplyFramer::Outcome& y = b.outcome();
    const ReplyFramer::Counts& c = a.counts();
    const ReplyFramer::Counts& d = b.counts();
    return x.status == y.status && x.echo == y.echo && x.answer == y.answer && x.block == y.block &&
           x.why == y.why && c.stray == d.stray && c.lateEchoes == d.lateEchoes &&
           c.mismatches == d.mismatches && c.framingErrors == d.framingErrors &&
           a.blockBytes() == b.blockBytes() && a.replyStarted() == b.replyStarted() &&
           a.owesOthers() == b.owesOthers();
}

void checkShape(const ReplyFramer& f, char awaited) {
    const ReplyFramer::Outcome& o = f.outcome();
    check(f.blockBytes() >= 0 && f.blockBytes() < ReplyFramer::kBlockSamples,
          "block byte count out of range");
    if (o.status != ReplyFramer::Status::Done) {
        return;
    }
    if (awaited == 'T') {
        check(o.answer.size() == 4, "trigger answer not four characters");
        for (char c : o.answer) {
            check(isHex(c), "trigger answer not hexadecimal");
        }
    } else if (awaited == 'M') {
        check(o.block.size() == ReplyFramer::kBlockSamples, "block not 512 bytes");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReplyFramer whole;  // every arrival fed at once
    ReplyFramer single; // byte by byte
    ReplyFramer halves; // in two pieces, split where the script says
    char awaited = 0;   // what the newest wait is for: 'E'cho, 'T'race reply, 'M' block
    std::size_t i = 0;
    const auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const std::uint8_t op = next();
        switch (op % 8) {
        case 0: {
            const char c = static_cast<char>(next());
            for (ReplyFramer* f : {&whole, &single, &halves}) {
                f->expectEcho(c);
            }
            awaited = 'E';
            break;
        }
        case 1:
            for (ReplyFramer* f : {&whole, &single, &halves}) {
                f->expectTraceReply();
            }
            awaited = 'T';
            break;
        case 2:
            for (ReplyFramer* f : {&whole, &single, &halves}) {
                f->expectBlock();
            }
            awaited = 'M';
            break;
        case 3:
            for (ReplyFramer* f : {&whole, &single, &halves}) {
                f->giveUp();
            }
            break;
        case 4:
            if (op >= 0xF0) { // rare: a reopened line
                for (ReplyFramer* f : {&whole, &single, &halves}) {
                    f->reset();
                }
            }
            break;
        default: {
            // Arrivals of any length, up to two blocks at once.
            std::size_t n = next();
            if (op & 0x80) {
                n = n * 4 + next() % 4;
            }
            const std::size_t take = n < size - i ? n : size - i;
            const std::string bytes(reinterpret_cast<const char*>(data + i), take);
            i += take;
            whole.feed(bytes);
            for (char b : bytes) {
                single.feed(std::string(1, b));
            }
            const std::size_t cut = take == 0 ? 0 : (op >> 3) % (take + 1);
            halves.feed(std::string_view(bytes).substr(0, cut));
            halves.feed(std::string_view(bytes).substr(cut));
            break;
        }
        }
        check(sameState(whole, single), "byte-by-byte arrival framed differently");
        check(sameState(whole, halves), "split arrival framed differently");
        checkShape(whole, awaited);
    }
    return 0;
}
