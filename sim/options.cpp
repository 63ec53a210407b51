#include "sim/options.h"

#include <charconv>
#include <string_view>

namespace tracely::sim {

namespace {

constexpr double kMaxDelayMs = 1000.0;
constexpr double kMaxLateEchoMs = 10000.0;
constexpr int kMaxLateEcho = 100000;
constexpr std::string_view kLateEcho = "--late-echo";

bool toInt(const std::string& s, int& out, int lo, int hi) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < lo || v > hi) {
        return false;
    }
    out = v;
    return true;
}

// Milliseconds as a plain decimal number, 0..hi. Looked at before converting, so signs,
// exponents, "inf" and "nan" never reach the conversion.
bool toMs(const std::string& s, double& out, double hi) {
    if (s.empty() || s.size() > 32 || s.find_first_not_of("0123456789.") != std::string::npos) {
        return false;
    }
    double v = 0.0;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    if (ec != std::errc() || end != s.data() + s.size() || v > hi) {
        return false;
    }
    out = v;
    return true;
}

std::string msError(const std::string& option, double hi) {
    return option + " takes milliseconds 0.." + std::to_string(static_cast<int>(hi));
}

// "--late-echo:N" or "--late-echo=N": the number in the same word.
bool lateEchoWithNumber(const std::string& a) {
    return a.size() > kLateEcho.size() && a.starts_with(kLateEcho) &&
           (a[kLateEcho.size()] == ':' || a[kLateEcho.size()] == '=');
}

// "name" or "name:N" (also "name=N").
bool splitFault(const std::string& f, std::string& name, std::string& arg) {
    const auto at = f.find_first_of(":=");
    name = f.substr(0, at);
    arg = at == std::string::npos ? std::string() : f.substr(at + 1);
    return !name.empty();
}

std::string applyFault(Faults& faults, const std::string& text) {
    std::string name;
    std::string arg;
    splitFault(text, name, arg);
    const auto needN = [&](int& field, int lo, int hi) -> std::string {
        if (!toInt(arg, field, lo, hi)) {
            return "--fault " + name + " needs a number " + std::to_string(lo) + ".." +
                   std::to_string(hi) + " (" + name + ":N)";
        }
        return {};
    };
    const auto noArg = [&](bool& field) -> std::string {
        if (!arg.empty()) {
            return "--fault " + name + " takes no number";
        }
        field = true;
        return {};
    };
    if (name == "wrong-echo") {
        return needN(faults.wrongEchoAt, 1, 1000000000);
    }
    if (name == "silent") {
        return noArg(faults.silent);
    }
    if (name == "bad-ident") {
        return noArg(faults.badIdent);
    }
    if (name == "garbage") {
        return noArg(faults.garbage);
    }
    if (name == "short-block") {
        return needN(faults.shortBlock, 1, 32767);
    }
    if (name == "hangup-block") {
        return needN(faults.hangUpInBlock, 1, 32767);
    }
    if (name == "hangup-trigger") {
        return noArg(faults.hangUpAwaitingTrigger);
    }
    if (name == "answer-length") {
        return needN(faults.answerLength, 1, 64);
    }
    if (name == "no-trigger") {
        return noArg(faults.noTrigger);
    }
    if (name == "late-echo") {
        return needN(faults.lateEchoAt, 1, kMaxLateEcho);
    }
    return "unknown fault '" + name + "' (see --help)";
}

} // namespace

// long-function: table (the help text, one line per option)
std::string helpText() {
    return R"(Usage: tracely-sim [OPTION]...
Plays a BitScope on a pseudo-terminal: prints the terminal's path as the first line of
standard output, then answers the program on it until SIGINT or SIGTERM.

Line
  --link PATH          make PATH a symbolic link to the terminal (removed on exit)
  --exit-after-hangup  exit when the program closes the line after having opened it
  --baud 57600|115200|both
                       speeds the instrument answers at (default both); at any other
                       speed the program set, it answers every byte with garbage
  --no-pace            send at once instead of at the line speed (10 bits per byte)
  --ident TEXT         firmware identifier answered to "?" (default BC000120)
  --latency MS         every byte sent arrives MS milliseconds later (0..1000, fractions
                       allowed), as through a USB-serial adapter; the line speed is kept
  --jitter MS          each reply arrives a random 0..MS milliseconds later still (0..1000)
  --split              every reply arrives in random pieces, 0..3 ms apart
  --late-echo N, --late-echo:N
                       after each trace request "T", the echo of the N-th command character
                       (1..100000) goes out late, and every byte after it queues behind it
  --late-echo-ms MS    how late that echo is (0..10000 milliseconds, default 600)
  The random draws of --jitter and --split come from --seed: runs repeat exactly.

Signal
  --cha SIGNAL, --chb SIGNAL
                       analog channel A / B: KIND [FREQUENCY] [AMPLITUDE] [OFFSET],
                       KIND one of sine, square, triangle, sawtooth, dc, noise;
                       e.g. "sine 1kHz 1.5V", "square 2kHz 1V 0.5V", "dc 0.3V".
                       Volts at the input connector; amplitude is the peak.
                       (default A "sine 1kHz 1.5V", B "square 2kHz 1V")
  --logic PATTERN      logic lines: counter|walk|gray|random [RATE], uart [BITRATE] [lineN],
                       or off; e.g. "counter 10kHz", "uart 9600 line3" (default "counter 10kHz")
  --seed N             seed of the noise, random patterns and line delays (default 1)
  --no-trigger         never trigger: a trace request waits until the next command
  --answer7            withhold the echo of "T" and send it with the trace answer, as
                       one 7-character text ("T", CR, 4 hex digits, CR)

Faults (--fault F, repeatable)
  wrong-echo:N         echo the N-th command character wrongly
  silent               no echo and no answer at all
  bad-ident            answer identification with a wrong identifier
  garbage              send stray bytes after every answer
  short-block:N        cut dump block N of a trace short
  hangup-block:N       close the line in the middle of dump block N of a trace
  hangup-trigger       close the line while waiting for the trigger
  answer-length:N      answer a trace with N characters instead of 6
  late-echo:N          the same as --late-echo N
  no-trigger           the trigger never comes (as --no-trigger, but it can sleep and end)
  After a hang-up fault the simulator exits.
  --faults-after N     the faults sleep through N captures: they wake with the first
                       register programming ("[" after "M") once N traces have been dumped
                       (0..100000, default 0: awake from the start); the N of wrong-echo:N
                       then counts from that "["
  --chaos N            about one trace request in N (1..1000000) brings one fault drawn from
                       --seed, lasting until the next "T": a wrong, late or lost echo, a trigger
                       answer of the wrong length, a short block, or stray bytes; each is
                       reported on standard error as "fault: WHAT"
  SIGUSR1              the fault is gone: every fault and --chaos stop

Other
  --register-port FILE write COMn=<link> under [PORTS] in the settings file FILE, keeping
                       every other line (needs --link)
  --com N              the n of COMn for --register-port (1..8, default 1)
  --help               show this text
)";
}

namespace {

// The command line being read: the option at i, and its value (the next word) on request.
struct Reader {
    const std::vector<std::string>& args;
    std::size_t i = 0;
    ParseResult r;

    const std::string* value() {
        if (i + 1 >= args.size()) {
            r.error = args[i] + " needs a value";
            return nullptr;
        }
        return &args[++i];
    }
    void failUnless(bool ok, const std::string& error) {
        if (!ok) {
            r.error = error;
        }
    }
};

// The line: where it is, its speeds, and what a real serial line adds. False for an option
// of another group.
bool lineOption(const std::string& a, Reader& in) {
    Options& o = in.r.options;
    if (a == "--link") {
        if (const auto* v = in.value()) {
            o.linkPath = *v;
        }
    } else if (a == "--exit-after-hangup") {
        o.exitAfterHangUp = true;
    } else if (a == "--no-pace") {
        o.pace = false;
    } else if (a == "--latency" || a == "--jitter") {
        if (const auto* v = in.value()) {
            in.failUnless(toMs(*v, a == "--latency" ? o.latencyMs : o.jitterMs, kMaxDelayMs),
                          msError(a, kMaxDelayMs));
        }
    } else if (a == "--split") {
        o.split = true;
    } else if (a == "--baud") {
        if (const auto* v = in.value()) {
            if (*v == "both") {
                o.bauds = {57600, 115200};
            } else if (*v == "57600" || *v == "115200") {
                o.bauds = {std::stoi(*v)};
            } else {
                in.r.error = "--baud takes 57600, 115200 or both";
            }
        }
    } else {
        return false;
    }
    return true;
}

// Faults: late echoes, withheld triggers, chaos and the named faults.
bool faultOption(const std::string& a, Reader& in) {
    Options& o = in.r.options;
    if (a == "--late-echo-ms") {
        if (const auto* v = in.value()) {
            in.failUnless(toMs(*v, o.faults.lateEchoMs, kMaxLateEchoMs),
                          msError(a, kMaxLateEchoMs));
        }
    } else if (a == kLateEcho || lateEchoWithNumber(a)) {
        const std::string inWord = a == kLateEcho ? std::string() : a.substr(kLateEcho.size() + 1);
        if (const auto* v = a == kLateEcho ? in.value() : &inWord) {
            in.failUnless(toInt(*v, o.faults.lateEchoAt, 1, kMaxLateEcho),
                          std::string(kLateEcho) + " takes a character count 1.." +
                              std::to_string(kMaxLateEcho));
        }
    } else if (a == "--faults-after") {
        if (const auto* v = in.value()) {
            in.failUnless(toInt(*v, o.faultsAfter, 0, kMaxLateEcho),
                          "--faults-after takes a capture count 0.." +
                              std::to_string(kMaxLateEcho));
        }
    } else if (a == "--chaos") {
        if (const auto* v = in.value()) {
            in.failUnless(toInt(*v, o.chaos.everyTraces, 1, 1000000),
                          "--chaos takes a trace count 1..1000000");
        }
    } else if (a == "--no-trigger") {
        o.noTrigger = true;
    } else if (a == "--answer7") {
        o.answer7 = true;
    } else if (a == "--fault") {
        if (const auto* v = in.value()) {
            in.r.error = applyFault(o.faults, *v);
        }
    } else {
        return false;
    }
    return true;
}

// What the instrument is and measures: identifier, waveforms, logic pattern, random seed.
bool signalOption(const std::string& a, Reader& in) {
    Options& o = in.r.options;
    std::string err;
    if (a == "--ident") {
        if (const auto* v = in.value()) {
            o.ident = *v;
        }
    } else if (a == "--cha" || a == "--chb") {
        if (const auto* v = in.value()) {
            if (auto w = parseWave(*v, err)) {
                (a == "--cha" ? o.cha : o.chb) = *w;
            } else {
                in.r.error = a + ": " + err;
            }
        }
    } else if (a == "--logic") {
        if (const auto* v = in.value()) {
            if (auto l = parseLogic(*v, err)) {
                o.logic = *l;
            } else {
                in.r.error = "--logic: " + err;
            }
        }
    } else if (a == "--seed") {
        if (const auto* v = in.value()) {
            unsigned long long s = 0;
            const auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), s);
            const bool whole = ec == std::errc() && end == v->data() + v->size();
            in.failUnless(whole, "--seed takes a whole number");
            o.seed = whole ? s : o.seed;
        }
    } else {
        return false;
    }
    return true;
}

// Pointing a settings file's COM port at the link.
bool registerOption(const std::string& a, Reader& in) {
    Options& o = in.r.options;
    if (a == "--register-port") {
        if (const auto* v = in.value()) {
            o.registerIni = *v;
        }
    } else if (a == "--com") {
        if (const auto* v = in.value()) {
            in.failUnless(toInt(*v, o.registerCom, 1, 8), "--com takes 1..8");
        }
    } else {
        return false;
    }
    return true;
}

} // namespace

ParseResult parseOptions(const std::vector<std::string>& args) {
    Reader in{args, 0, {}};
    for (; in.i < args.size(); ++in.i) {
        const std::string& a = args[in.i];
        if (a == "--help" || a == "-h") {
            in.r.help = true;
        } else if (!lineOption(a, in) && !faultOption(a, in) && !signalOption(a, in) &&
                   !registerOption(a, in)) {
            in.r.error = "unknown option '" + a + "' (see --help)";
        }
        if (!in.r.error.empty()) {
            return in.r;
        }
    }
    if (!in.r.options.registerIni.empty() && in.r.options.linkPath.empty()) {
        in.r.error = "--register-port needs --link";
    }
    return in.r;
}

} // namespace tracely::sim
