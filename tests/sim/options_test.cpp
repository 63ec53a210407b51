#include "sim/options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

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
              "--register-port /tmp/T.INI --com 4 --faults-after 2 --fault no-trigger --chaos 50");
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
    EXPECT_EQ(o.faultsAfter, 2);
    EXPECT_TRUE(o.faults.noTrigger);
    EXPECT_EQ(o.chaos.everyTraces, 50);
    // Signal texts hold spaces: they come as one argument.
    r = parseOptions({"--cha", "triangle 5kHz 0.5V", "--logic", "gray 2kHz"});
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.options.cha.kind, WaveKind::Triangle);
    EXPECT_EQ(r.options.logic.kind, LogicKind::Gray);
}

TEST(SimOptions, MistakesAreReportedNotGuessed) {
    for (const char* line :
         {"--baud 9600", "--fault wrong-echo", "--fault wrong-echo:0", "--fault silent:2",
          "--fault meltdown", "--cha", "--seed -1", "--com 9", "--register-port /tmp/T.INI",
          "--frobnicate", "--fault no-trigger:3"}) {
        EXPECT_FALSE(parse(line).error.empty()) << line;
    }
    EXPECT_FALSE(parseOptions({"--cha", "sine 1kHz 1.5"}).error.empty());
    EXPECT_TRUE(parse("--help").help);
}

TEST(SimOptions, LineDelaysLateEchoAndChaos) {
    const struct {
        const char* line;
        double latency, jitter;
        bool split;
        int lateAt;
        double lateMs;
    } good[] = {
        {"", 0, 0, false, 0, 600},
        {"--latency 0.25 --jitter 1000 --split", 0.25, 1000, true, 0, 600},
        {"--latency 1000 --late-echo:3", 1000, 0, false, 3, 600},
        {"--late-echo=100000 --late-echo-ms 0", 0, 0, false, 100000, 0},
        {"--late-echo 7 --late-echo-ms 250.5", 0, 0, false, 7, 250.5},
        {"--fault late-echo:2 --late-echo-ms 10000", 0, 0, false, 2, 10000},
    };
    for (const auto& g : good) {
        const ParseResult r = parse(g.line);
        ASSERT_TRUE(r.error.empty()) << g.line << ": " << r.error;
        const Options& o = r.options;
        EXPECT_EQ(std::tie(o.latencyMs, o.jitterMs, o.split, o.faults.lateEchoAt),
                  std::tie(g.latency, g.jitter, g.split, g.lateAt))
            << g.line;
        EXPECT_EQ(o.faults.lateEchoMs, g.lateMs) << g.line;
    }
    // Each error names the option it is about.
    for (const std::string line :
         {"--latency -1",        "--latency -0",      "--latency 1000.5",
          "--latency abc",       "--latency 1e2",     "--latency inf",
          "--latency nan",       "--latency +5",      "--latency 1.2.3",
          "--latency .",         "--latency",         "--jitter -0.5",
          "--jitter 1001",       "--jitter 5ms",      "--late-echo:0",
          "--late-echo 100001",  "--late-echo:x",     "--late-echo:",
          "--late-echo -3",      "--late-echo",       "--fault late-echo",
          "--fault late-echo:0", "--late-echo-ms -1", "--late-echo-ms 10001",
          "--split:2",           "--faults-after -1", "--faults-after 100001",
          "--chaos 0",           "--chaos 1000001",   "--chaos x",
          "--faults-after"}) {
        const std::string option = line.substr(0, line.find_first_of(" :="));
        EXPECT_NE(parse(line).error.find(option), std::string::npos) << line;
    }
}
