#pragma once

#include <filesystem>
#include <string_view>

#include <sys/inotify.h>
#include <unistd.h>

namespace tracely::test {

// What happened in a folder since the last look. Each temporary file of a save has a name of
// its own, so the kernel merges no two of their events: one made is one replace.
class FolderWatch {
public:
    FolderWatch() = default;
    explicit FolderWatch(const std::filesystem::path& folder) { watch(folder); }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;
    ~FolderWatch() { ::close(fd_); }

    void watch(const std::filesystem::path& folder) const {
        ::inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MOVED_TO);
    }
    int fd() const { return fd_; }

    struct Seen {
        int made = 0;         // files made whose names start with the prefix
        bool renamed = false; // a file renamed to the name
    };
    Seen look(std::string_view madePrefix = ".TRACELY.INI.tmp",
              std::string_view renamedTo = "TRACELY.INI") const {
        alignas(inotify_event) char buffer[4096];
        Seen what;
        for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                const std::string_view name(e->len > 0 ? e->name : "");
                what.made += (e->mask & IN_CREATE) != 0 && name.starts_with(madePrefix);
                what.renamed |= (e->mask & IN_MOVED_TO) != 0 && name == renamedTo;
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            }
        }
        return what;
    }

private:
    int fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
};

} // namespace tracely::test
