#include "sim/options.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tracely::sim;

namespace {
// The words of a command line; values here never hold spaces, so a split is enough.
ParseResult parse(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> args;
    for (std::string w; in >> w;) {
        args.push_back(w);
    }
    return parseOptions(args);
}
} // namespace

TEST(SimOptions, DefaultsAndOptions) {
    auto r = parse("");
    ASSERT_TRUE(r.error.empty());
    EXPECT_EQ(r.options.bauds, (std::vector<int>{57600, 115200}));
    EXPECT_TRUE(r.options.pace);

    r = parse("--link /tmp/x --baud 57600 --no-pace --ident BC000220 --seed 42 --answer7 "
              "--fault wrong-echo:3 --fault short-block=2 --fault hangup-trigger "
              "--register-port /tmp/T.INI --com 4");
    ASSERT_TRUE(r.error.empty()) << r.error;
    const Options& o = r.options;
    EXPECT_EQ(o.linkPath, "/tmp/x");
    EXPECT_EQ(o.bauds, std::vector<int>{57600});
    EXPECT_FALSE(o.pace);
    EXPECT_EQ(o.ident, "BC000220");
    EXPECT_EQ(o.seed, 42u);
    EXPECT_TRUE(o.answer7);
    EXPECT_EQ(o.faults.wrongEchoAt, 3);
    EXPECT_EQ(o.faults.shortBlock, 2);
    EXPECT_TRUE(o.faults.hangUpAwaitingTrigger);
    EXPECT_EQ(o.registerCom, 4);
    // Signal texts hold spaces: they come as one argument.
    r = parseOptions({"--cha", "triangle 5kHz 0.5V", "--logic", "gray 2kHz"});
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.options.cha.kind, WaveKind::Triangle);
    EXPECT_EQ(r.options.logic.kind, LogicKind::Gray);
}

TEST(SimOptions, MistakesAreReportedNotGuessed) {
    for (const char* line : {"--baud 9600", "--fault wrong-echo", "--fault wrong-echo:0",
                             "--fault silent:2", "--fault meltdown", "--cha", "--seed -1",
                             "--com 9", "--register-port /tmp/T.INI", "--frobnicate"}) {
        EXPECT_FALSE(parse(line).error.empty()) << line;
    }
    EXPECT_FALSE(parseOptions({"--cha", "sine 1kHz 1.5"}).error.empty());
    EXPECT_TRUE(parse("--help").help);
}

TEST(SimOptions, HelpDocumentsEveryOptionAndFault) {
    const std::string h = helpText();
    for (const char* word : {"--link",          "--exit-after-hangup",
                             "--baud",          "--no-pace",
                             "--ident",         "--cha",
                             "--chb",           "--logic",
                             "--seed",          "--no-trigger",
                             "--answer7",       "--fault",
                             "wrong-echo",      "silent",
                             "bad-ident",       "garbage",
                             "short-block",     "hangup-block",
                             "hangup-trigger",  "answer-length",
                             "--register-port", "--com",
                             "--help"}) {
        EXPECT_NE(h.find(word), std::string::npos) << word;
    }
}
