#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace tracely {

// Frames what the instrument sends back by count and structure, never by pauses. Every
// command character the program writes is owed exactly one echo; "T" is owed the echo "T"
// (which some firmware holds back and sends in front of the answer) and the answer CR, four
// hex digits, CR; "M" is owed the echo "M" and 512 sample bytes. What is owed is kept in
// order, so an echo that comes after its wait was given up is taken as that echo when it
// comes, and never as part of what follows. Bytes that nothing owes are stray: dropped and
// counted. Plain C++, fed by whoever reads the line.
class ReplyFramer {
public:
    enum class [[nodiscard]] Status{Idle, Pending, Done, Broken};

    // What became of the thing the program waits for (the newest item owed).
    struct Outcome {
        Status status = Status::Idle;
        char echo = 0;      // the byte taken as the echo
        std::string answer; // the trigger answer's four hex digits
        std::string block;  // the 512 sample bytes after "M"
        std::string why;    // what broke the frame
    };

    struct Counts {
        std::uint64_t stray = 0;         // bytes that nothing owed
        std::uint64_t lateEchoes = 0;    // echoes taken after their wait was given up
        std::uint64_t mismatches = 0;    // echoes that were not the character sent
        std::uint64_t framingErrors = 0; // answers that broke their structure
    };

    // The program writes a command character and waits for its echo.
    void expectEcho(char c);
    // The program writes "T" and waits for the trigger answer.
    void expectTraceReply();
    // The program writes "M" and waits for the block.
    void expectBlock();

    void feed(std::string_view bytes);

    // The program stops waiting for the newest item. An echo or a block stays owed and is
    // consumed by count when it comes; a trigger answer may never come (the next command
    // cancels the trace), so it is consumed only if it starts before anything else arrives.
    void giveUp();

    const Outcome& outcome() const { return outcome_; }
    bool waiting() const { return outcome_.status == Status::Pending; }
    // The trigger answer has begun: from here on it arrives at line speed.
    bool replyStarted() const;
    // Sample bytes of the block being waited for that have arrived.
    int blockBytes() const;
    // Whether anything besides the awaited item is still owed.
    bool owesOthers() const;
    const Counts& counts() const { return counts_; }

    // The line was reopened or resynchronised: nothing is owed any more.
    void reset();

    static constexpr int kBlockSamples = 512;

private:
    enum class Kind { Echo, Reply, Block };
    struct Item {
        Kind kind;
        char echo = 0;
        bool awaited = true; // false once the program has given up waiting for it
        int phase = 0;       // Reply: 0 start, 1 after "T", 2..5 digits, 6 final CR; Block: bytes
        std::string data;
    };

    void expect(Item item);
    void take(char b);
    // Each returns whether the byte was consumed by the front item.
    bool takeEcho(Item& it, char b);
    bool takeReply(Item& it, char b);
    bool takeBlock(Item& it, char b);
    void finish(Status status, std::string why = {});

    std::deque<Item> owed_;
    Outcome outcome_;
    Counts counts_;
};

} // namespace tracely
