#include "src/ui/registered_user.h"

#include <QtGlobal>

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tracely {

RegisteredUser registeredUserFrom(const QString& gecos, const QString& login,
                                  const QString& organisation) {
    RegisteredUser user;
    user.owner = gecos.section(QLatin1Char(','), 0, 0).trimmed();
    if (user.owner.isEmpty()) {
        user.owner = login.trimmed();
    }
    if (user.owner.isEmpty()) {
        user.owner = QString::fromLatin1(kNoUserInformation);
    }
    user.organisation = organisation.trimmed();
    return user;
}

namespace {

struct PasswordEntry {
    QString gecos;
    QString login;
};

PasswordEntry passwordEntry() {
    const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::size_t size = hint > 0 ? static_cast<std::size_t>(hint) : 1024;
    // The buffer grows while the entry does not fit, up to a bound no real entry reaches.
    constexpr std::size_t kMaxSize = std::size_t{1} << 20;
    for (; size <= kMaxSize; size *= 2) {
        std::vector<char> buffer(size);
        passwd entry{};
        passwd* found = nullptr;
        const int rc = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE) {
            continue;
        }
        if (rc != 0 || found == nullptr) {
            break;
        }
        return {QString::fromLocal8Bit(found->pw_gecos != nullptr ? found->pw_gecos : ""),
                QString::fromLocal8Bit(found->pw_name != nullptr ? found->pw_name : "")};
    }
    // No entry for this user (a container, for example): the login the session names.
    QString login = qEnvironmentVariable("USER");
    if (login.isEmpty()) {
        login = qEnvironmentVariable("LOGNAME");
    }
    return {QString(), login};
}

} // namespace

RegisteredUser systemRegisteredUser() {
    const PasswordEntry entry = passwordEntry();
    return registeredUserFrom(entry.gecos, entry.login, qEnvironmentVariable("ORGANIZATION"));
}

} // namespace tracely
