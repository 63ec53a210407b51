#include "src/settings/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include <fcntl.h>
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

// A fresh temporary file beside the target, created with O_EXCL so nothing is overwritten.
int createTemporary(const std::filesystem::path& target, std::string& tmpName) {
    const std::filesystem::path dir =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmpName = (dir / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) +
                          "-" + std::to_string(stamp) + "-" + std::to_string(attempt)))
                      .string();
        const int fd = ::open(tmpName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void syncFolder(const std::filesystem::path& target) {
    const std::filesystem::path dir =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
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
    const bool written = (!exists || ::fchmod(fd.get(), st.st_mode & 07777) == 0) &&
                         writeAll(fd.get(), text) && ::fsync(fd.get()) == 0 && fd.close() &&
                         ::rename(tmpName.c_str(), target.c_str()) == 0;
    if (!written) {
        fd.close();
        ::unlink(tmpName.c_str());
        return false;
    }
    syncFolder(target);
    return true;
}

} // namespace tracely::ini
