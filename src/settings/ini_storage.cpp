#include "src/settings/ini_storage.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tracely::ini {
namespace {

// Closes a descriptor on every path out of a function.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { close(); }
    int get() const { return fd_; }
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The file a write really replaces: the target of a symbolic link, so the link survives.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// Hidden, named after the file: ".TRACELY.INI.tmp<pid>-<stamp>-<n>".
std::string temporaryPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".tmp";
}

// A fresh temporary file beside the target, created with O_EXCL so nothing is overwritten, and
// locked for as long as it is open.
int createTemporary(const std::filesystem::path& target, std::string& tmpName) {
    const std::filesystem::path dir = folderOf(target);
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmpName = (dir / (temporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                          std::to_string(stamp) + "-" + std::to_string(attempt)))
                      .string();
        const int fd = ::open(tmpName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX); // a fresh file nobody else holds: this does not wait
            return fd;
        }
        if (errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void syncFolder(const std::filesystem::path& target) {
    const std::filesystem::path dir = folderOf(target);
    Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get()); // best effort: the rename itself already happened
    }
}

} // namespace

FileText loadFile(const std::string& path) {
    FileText result;
    if (path.empty()) {
        return result;
    }
    // Non-blocking so that a FIFO or device at the path cannot hang the caller.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        result.state =
            (errno == ENOENT || errno == ENOTDIR) ? FileState::Missing : FileState::Unusable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<unsigned long long>(st.st_size) > kMaxFileSize) {
        result.state = FileState::Unusable;
        return result;
    }
    // Read at most one byte beyond the limit, in case the file grew since fstat.
    std::string text(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == text.size()) {
            if (text.size() > kMaxFileSize) {
                result.state = FileState::Unusable;
                return result;
            }
            text.resize(std::min(text.size() * 2, kMaxFileSize + 1));
        }
        const ssize_t n = ::read(fd.get(), text.data() + used, text.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.state = FileState::Unusable;
            return result;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    text.resize(used);
    result.state = FileState::Loaded;
    result.text = std::move(text);
    return result;
}

PathKind probe(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        struct stat link {};
        return (!path.empty() && ::lstat(path.c_str(), &link) == 0) ? PathKind::Other
                                                                    : PathKind::Missing;
    }
    if (S_ISDIR(st.st_mode)) {
        return PathKind::Directory;
    }
    if (S_ISFIFO(st.st_mode)) {
        return PathKind::Fifo;
    }
    if (!S_ISREG(st.st_mode)) {
        return PathKind::Other;
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return PathKind::Unreadable;
    }
    return static_cast<unsigned long long>(st.st_size) > kMaxFileSize ? PathKind::TooLarge
                                                                      : PathKind::File;
}

bool canReplace(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target(resolvedTarget(path));
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 &&
        (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    return ::access(folderOf(target).c_str(), W_OK | X_OK) == 0;
}

bool replaceFile(const std::string& path, std::string_view text) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path target(resolvedTarget(path));
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists &&
        (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    std::string tmpName;
    Fd fd(createTemporary(target, tmpName));
    if (fd.get() < 0) {
        return false;
    }
    // Renamed while still open and locked: the lock marks the file as in use to the very end.
    const bool written = (!exists || ::fchmod(fd.get(), st.st_mode & 07777) == 0) &&
                         writeAll(fd.get(), text) && ::fsync(fd.get()) == 0 &&
                         ::rename(tmpName.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(tmpName.c_str());
        fd.close();
        return false;
    }
    const bool closed = fd.close();
    syncFolder(target);
    return closed;
}

int removeStaleTemporaries(const std::string& path) {
    if (path.empty()) {
        return 0;
    }
    namespace fs = std::filesystem;
    const fs::path target(resolvedTarget(path));
    const std::string prefix = temporaryPrefix(target);
    std::error_code ec;
    fs::directory_iterator it(folderOf(target), ec);
    int removed = 0;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path name = it->path();
        if (!name.filename().string().starts_with(prefix)) {
            continue;
        }
        Fd fd(::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat held {};
        struct stat named {};
        // A save that is still running holds the lock; the lock of a killed one is gone.
        if (fd.get() < 0 || ::fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode) ||
            ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            continue;
        }
        // Only if the name still means the file that was locked (it may have been renamed).
        if (::lstat(name.c_str(), &named) == 0 && named.st_ino == held.st_ino &&
            named.st_dev == held.st_dev && ::unlink(name.c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

} // namespace tracely::ini
