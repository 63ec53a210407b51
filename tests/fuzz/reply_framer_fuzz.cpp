// The reply framing on arbitrary bytes in every receive state: the input is a script of what
// the program waits for (echo, trigger answer, block), gives up on or resets, and of the bytes
// that arrive. The same bytes split anywhere frame the same way, and what is framed has the
// shape it must have.
#include "src/acquire/reply_framer.h"
#include "tests/fuzz/check.h"

#include <cstdint>
#include <string>
#include <tuple>

using tracely::ReplyFramer;
using tracely::test::check;

namespace {

auto state(const ReplyFramer& f) {
    const ReplyFramer::Outcome& o = f.outcome();
    const ReplyFramer::Counts& c = f.counts();
    return std::tuple(o.status, o.echo, o.answer, o.block, o.why, c.stray, c.lateEchoes,
                      c.mismatches, c.framingErrors, f.blockBytes(), f.replyStarted(),
                      f.owesOthers());
}

void checkShape(const ReplyFramer& f, char awaited) {
    const ReplyFramer::Outcome& o = f.outcome();
    check(f.blockBytes() >= 0 && f.blockBytes() < ReplyFramer::kBlockSamples,
          "block byte count out of range");
    if (o.status == ReplyFramer::Status::Done && awaited == 'T') {
        check(o.answer.size() == 4 &&
                  o.answer.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos,
              "trigger answer not four hexadecimal characters");
    } else if (o.status == ReplyFramer::Status::Done && awaited == 'M') {
        check(o.block.size() == ReplyFramer::kBlockSamples, "block not 512 bytes");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every arrival fed at once, byte by byte, and in two pieces split where the script says.
    ReplyFramer whole, single, halves;
    const auto all = [&](auto&& act) {
        for (ReplyFramer* f : {&whole, &single, &halves}) {
            act(*f);
        }
    };
    char awaited = 0; // what the newest wait is for: 'E'cho, 'T'race reply, 'M' block
    std::size_t i = 0;
    const auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const std::uint8_t op = next();
        if (op % 8 == 0) {
            const char c = static_cast<char>(next());
            all([c](ReplyFramer& f) { f.expectEcho(c); });
            awaited = 'E';
        } else if (op % 8 == 1) {
            all([](ReplyFramer& f) { f.expectTraceReply(); });
            awaited = 'T';
        } else if (op % 8 == 2) {
            all([](ReplyFramer& f) { f.expectBlock(); });
            awaited = 'M';
        } else if (op % 8 == 3) {
            all([](ReplyFramer& f) { f.giveUp(); });
        } else if (op % 8 == 4 && op >= 0xF0) { // rare: a reopened line
            all([](ReplyFramer& f) { f.reset(); });
        } else if (op % 8 > 4) {
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
        }
        check(state(whole) == state(single), "byte-by-byte arrival framed differently");
        check(state(whole) == state(halves), "split arrival framed differently");
        checkShape(whole, awaited);
    }
    return 0;
}
