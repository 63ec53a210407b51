#include "sim/options.h"

#include <gtest/gtest.h>

using namespace tracely::sim;

namespace {
ParseResult parse(std::vector<std::string> args) {
    return parseOptions(args);
}
} // namespace

TEST(SimOptions, DefaultsAndEveryOption) {
    auto r = parse({});
    ASSERT_TRUE(r.error.empty());
    EXPECT_EQ(r.options.ident, "BC000120");
    EXPECT_EQ(r.options.bauds, (std::vector<int>{57600, 115200}));
    EXPECT_TRUE(r.options.pace);

    r = parse({"--link",
               "/tmp/x",
               "--exit-after-hangup",
               "--baud",
               "57600",
               "--no-pace",
               "--ident",
               "BC000220",
               "--cha",
               "triangle 5kHz 0.5V",
               "--chb",
               "dc 1V",
               "--logic",
               "gray 2kHz",
               "--seed",
               "42",
               "--no-trigger",
               "--answer7",
               "--fault",
               "wrong-echo:3",
               "--fault",
               "short-block=2",
               "--fault",
               "silent",
               "--fault",
               "hangup-trigger",
               "--register-port",
               "/tmp/T.INI",
               "--com",
               "4"});
    ASSERT_TRUE(r.error.empty()) << r.error;
    const Options& o = r.options;
    EXPECT_EQ(o.linkPath, "/tmp/x");
    EXPECT_TRUE(o.exitAfterHangUp);
    EXPECT_EQ(o.bauds, std::vector<int>{57600});
    EXPECT_FALSE(o.pace);
    EXPECT_EQ(o.ident, "BC000220");
    EXPECT_EQ(o.cha.kind, WaveKind::Triangle);
    EXPECT_EQ(o.chb.kind, WaveKind::Dc);
    EXPECT_EQ(o.logic.kind, LogicKind::Gray);
    EXPECT_EQ(o.seed, 42u);
    EXPECT_TRUE(o.noTrigger);
    EXPECT_TRUE(o.answer7);
    EXPECT_EQ(o.faults.wrongEchoAt, 3);
    EXPECT_EQ(o.faults.shortBlock, 2);
    EXPECT_TRUE(o.faults.silent);
    EXPECT_TRUE(o.faults.hangUpAwaitingTrigger);
    EXPECT_EQ(o.registerCom, 4);
}

TEST(SimOptions, MistakesAreReportedNotGuessed) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--baud", "9600"},
             {"--fault", "wrong-echo"},
             {"--fault", "wrong-echo:0"},
             {"--fault", "silent:2"},
             {"--fault", "meltdown"},
             {"--cha"},
             {"--cha", "sine 1kHz 1.5"},
             {"--seed", "-1"},
             {"--com", "9"},
             {"--register-port", "/tmp/T.INI"},
             {"--frobnicate"},
         }) {
        EXPECT_FALSE(parse(args).error.empty()) << args[0];
    }
    EXPECT_TRUE(parse({"--help"}).help);
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
