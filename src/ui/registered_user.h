#pragma once

#include <QString>

namespace tracely {

// The registered user of the machine as the About box shows it.
struct RegisteredUser {
    QString owner;
    QString organisation;
};

inline constexpr const char* kNoUserInformation = "USER INFORMATION NOT AVAILABLE";

// From the raw password-database fields: the owner is the full name (the GECOS text up to its
// first comma), else the login name, else "USER INFORMATION NOT AVAILABLE"; the organisation
// is whatever the system names, else empty. Surrounding blanks are dropped.
RegisteredUser registeredUserFrom(const QString& gecos, const QString& login,
                                  const QString& organisation);

// The current user from the password database, the organisation from $ORGANIZATION.
RegisteredUser systemRegisteredUser();

} // namespace tracely
