// The real program, killed (SIGKILL) at random moments of its save, many times over: the
// settings file is always the old or the new whole file, never a mixture, and no temporary
// file of a killed save outlives the next start. TRACELY_KILL_RUNS sets the number of kills
// (200 by default; make soak runs 1000), TRACELY_KILL_SEED repeats a run's kill moments. Half
// the kill moments fall anywhere in the closing program's life after SIGTERM, half in the
// stretch from the save's temporary file appearing to the program's end.
#include "tests/support/folder_watch.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

using tracely::test::readFile;
using tracely::test::writeFile;

// A hand-edited file: keys the program writes in its own spelling ("1" becomes "True", 2.50
// becomes 2.5), a section it adds, and lines of others it must keep, among them a large one
// so that the save takes long enough to be hit.
std::string oldSettings() {
    std::string text = "; the bench PC's settings\n[OPTIONS]\nShowAN=1\nShowLA = 0\n"
                       "Trigpos=2.50\nSamplerate=10KSa/s\n[PORTS]\nCOM1=/dev/null\n"
                       "[SETTINGS]\nChalevel=3.0\nTimerange=12\nAsource=1\n[NOTES]\n";
    for (int i = 0; i < 2000; ++i) {
        text += "note" + std::to_string(i) + "=" +
                std::string(1000, static_cast<char>('a' + i % 26)) + "\n";
    }
    return text;
}

std::vector<fs::path> temporaries(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".TRACELY.INI.tmp")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// Whether the process catches SIGTERM yet (bit 14 of SigCgt): start-up has located the
// settings (and removed stale temporary files) by then.
bool catchesTerm(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("SigCgt:")) {
            return (std::stoull(line.substr(7), nullptr, 16) & (1ull << 14)) != 0;
        }
    }
    return false;
}

enum class Phase { Idle, Starting, Closing };

// One copy of the program in a folder of its own, with its own user folders.
struct Slot {
    fs::path folder;
    tracely::test::FolderWatch watch;
    pid_t pid = -1;
    Phase phase = Phase::Idle;
    bool fromWrite = false; // kill moment counted from the temporary file's appearance
    bool armed = false;     // killAt is set
    Clock::time_point startedAt;
    Clock::time_point signalledAt;
    Clock::time_point killAt;

    fs::path ini() const { return folder / "TRACELY.INI"; }

    void open(const fs::path& at) {
        folder = at;
        fs::create_directories(folder);
        std::error_code ec;
        fs::create_hard_link(TRACELY_BINARY, folder / "tracely", ec);
        if (ec) {
            fs::copy_file(TRACELY_BINARY, folder / "tracely");
        }
        watch.watch(folder);
    }

    // Since the last call: a save's temporary file appeared, a file was renamed over
    // TRACELY.INI.
    struct Seen {
        bool created = false;
        bool renamed = false;
    };
    Seen seen() const {
        const auto what = watch.look();
        return {what.made > 0, what.renamed};
    }

    void start() {
        const std::string program = (folder / "tracely").string();
        // The test's environment (sanitizer options among it), with folders of the copy's own.
        std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen",
                                     "XDG_CONFIG_HOME=" + (folder / "config").string(),
                                     "HOME=" + (folder / "home").string()};
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string_view v(*e);
            if (!v.starts_with("QT_QPA_PLATFORM=") && !v.starts_with("XDG_CONFIG_HOME=") &&
                !v.starts_with("HOME=")) {
                env.emplace_back(v);
            }
        }
        std::vector<char*> envp;
        for (std::string& v : env) {
            envp.push_back(v.data());
        }
        envp.push_back(nullptr);
        const char* argv[] = {program.c_str(), nullptr};
        seen(); // forget what earlier runs did
        pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execve(program.c_str(), const_cast<char* const*>(argv), envp.data());
            ::_exit(127);
        }
        phase = Phase::Starting;
        startedAt = Clock::now();
    }

    // Ended, and left to be reaped.
    bool exited() const {
        siginfo_t info{};
        return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == pid;
    }

    // Reaps the process; true when it ended by itself with status 0.
    bool reap() {
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        phase = Phase::Idle;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // An undisturbed start and close: the time from SIGTERM to the end, and from the save's
    // temporary file appearing to its rename.
    bool runUndisturbed(Clock::duration& closing, Clock::duration& writing) {
        start();
        while (!catchesTerm(pid)) {
            if (exited() || Clock::now() - startedAt > 30s) {
                return false;
            }
            std::this_thread::sleep_for(1ms);
        }
        ::kill(pid, SIGTERM);
        const auto t0 = Clock::now();
        auto created = t0;
        auto renamed = t0;
        while (!exited()) {
            const auto now = Clock::now();
            const Seen what = seen();
            created = what.created ? now : created;
            renamed = what.renamed ? now : renamed;
            std::this_thread::sleep_for(100us);
        }
        closing = std::max(closing, Clock::now() - t0);
        writing = std::max(writing, renamed - created);
        return reap();
    }
};

int runsWanted() {
    const char* v = std::getenv("TRACELY_KILL_RUNS");
    const int n = v != nullptr ? std::atoi(v) : 0;
    return n > 0 ? n : 200;
}

long long micros(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
}

} // namespace

TEST(KillDuringSave, TheFileIsAlwaysTheOldOrTheNewWholeFile) {
    const fs::path root =
        fs::path(::testing::TempDir()) / ("tracely-kill-" + std::to_string(::getpid()));
    fs::remove_all(root);
    constexpr int kSlots = 8;
    std::vector<Slot> copies(kSlots);
    for (int i = 0; i < kSlots; ++i) {
        copies[static_cast<std::size_t>(i)].open(root / ("slot" + std::to_string(i)));
    }
    const std::string before = oldSettings();

    // The new file: what an undisturbed save of the old one writes. The times it takes bound
    // the kill moments.
    Slot& first = copies[0];
    Clock::duration closing{};
    Clock::duration writing{};
    std::string after;
    for (int i = 0; i < 3; ++i) {
        writeFile(first.ini(), before);
        ASSERT_TRUE(first.runUndisturbed(closing, writing));
        const std::string saved = readFile(first.ini());
        ASSERT_TRUE(after.empty() || saved == after) << "two undisturbed saves differ";
        after = saved;
    }
    ASSERT_NE(after, before) << "the save must change the file for a mixture to show";
    ASSERT_NE(after.find("note1999="), std::string::npos);

    const char* seedText = std::getenv("TRACELY_KILL_SEED");
    const auto seed = seedText != nullptr ? std::strtoull(seedText, nullptr, 10)
                                          : static_cast<unsigned long long>(std::random_device{}());
    std::mt19937_64 random(seed);
    // Several copies at a time run slower than one alone: the ranges allow for it.
    std::uniform_int_distribution<long long> afterTerm(0, micros(closing * 3 / 2));
    std::uniform_int_distribution<long long> afterWrite(0, micros(writing * 2) + 1000);

    const int runs = runsWanted();
    int started = 0, finished = 0, oldWhole = 0, newWhole = 0, midWrite = 0, mixed = 0,
        outlived = 0, stuck = 0;
    // Every copy runs through start, SIGTERM, SIGKILL at its moment, check, and again; the
    // loop never blocks, so that no copy's kill moment waits for another's start.
    while (finished < runs) {
        auto wake = Clock::now() + 1ms;
        for (Slot& s : copies) {
            const auto now = Clock::now();
            if (s.phase == Phase::Idle && started < runs) {
                if (readFile(s.ini()) != before) {
                    writeFile(s.ini(), before);
                }
                s.fromWrite = started % 2 == 1;
                s.start();
                ++started;
            } else if (s.phase == Phase::Starting) {
                if (catchesTerm(s.pid)) {
                    // Start-up is past removing what killed saves left behind.
                    outlived += !temporaries(s.folder).empty();
                    ::kill(s.pid, SIGTERM);
                    s.signalledAt = Clock::now();
                    s.armed = !s.fromWrite;
                    s.killAt = s.signalledAt + std::chrono::microseconds(afterTerm(random));
                    s.phase = Phase::Closing;
                } else if (now - s.startedAt > 30s) {
                    ++stuck;
                    s.armed = true;
                    s.killAt = now;
                    s.phase = Phase::Closing;
                }
            }
            if (s.phase != Phase::Closing) {
                continue;
            }
            if (!s.armed) {
                if (s.seen().created) {
                    s.armed = true;
                    s.killAt = Clock::now() + std::chrono::microseconds(afterWrite(random));
                } else if (!s.exited() && now - s.signalledAt < 30s) {
                    continue;
                } else {
                    stuck += !s.exited();
                    s.killAt = now;
                }
            }
            if (Clock::now() < s.killAt) {
                wake = std::min(wake, s.killAt);
                continue;
            }
            ::kill(s.pid, SIGKILL);
            s.reap();
            ++finished;
            const std::string file = readFile(s.ini());
            const bool leftover = !temporaries(s.folder).empty();
            if (file == before) {
                ++oldWhole;
                midWrite += leftover;
            } else if (file == after) {
                ++newWhole;
            } else {
                ++mixed;
            }
        }
        // Until the next kill moment, or a save's temporary file appearing.
        std::vector<pollfd> watches;
        for (const Slot& s : copies) {
            if (s.phase == Phase::Closing && !s.armed) {
                watches.push_back({s.watch.fd(), POLLIN, 0});
            }
        }
        const auto wait = std::max<Clock::duration>(wake - Clock::now(), 0ns);
        const timespec timeout{0,
                               std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count()};
        ::ppoll(watches.data(), watches.size(), &timeout, nullptr);
    }
    // One last start of each copy, undisturbed: nothing is left over and the file is whole.
    for (Slot& s : copies) {
        Clock::duration unused{};
        EXPECT_TRUE(s.runUndisturbed(unused, unused));
        EXPECT_TRUE(temporaries(s.folder).empty()) << s.folder;
        EXPECT_EQ(readFile(s.ini()), after) << s.folder;
    }

    std::printf("kills %d (seed %llu; undisturbed: close %lld ms, from the temporary file %lld "
                "ms to its rename): old file %d (with a temporary file beside it %d), new file %d, "
                "mixed %d; "
                "temporary files outliving a start %d\n",
                finished, static_cast<unsigned long long>(seed), micros(closing) / 1000,
                micros(writing) / 1000, oldWhole, midWrite, newWhole, mixed, outlived);
    EXPECT_EQ(finished, runs);
    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(outlived, 0);
    EXPECT_EQ(stuck, 0);
    // The kill moments straddle the save: some before it was done, some after.
    EXPECT_GT(oldWhole, 0);
    EXPECT_GT(newWhole, 0);
    fs::remove_all(root);
}
