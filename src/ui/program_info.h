#pragma once

#include <QString>

namespace tracely {

// The identity the built program carries, as the About box shows it.
struct ProgramInfo {
    QString title;
    QString version; // "major.minor.patch"
    QString company;
    QString copyright;
    QString trademark;
    QString description;
    QString executable; // full path of the program file
};

// The version the build was configured with.
QString buildVersion();

// Title, version and company from the application object (falling back to "Tracely" and the
// build version), the legal texts and description of the build, the running program's path.
ProgramInfo currentProgramInfo();

// "Version 1.2.3 (64-bit)": missing or unreadable parts of the version count as 0; the word
// size is the one the program was built for.
QString versionText(const QString& version);

} // namespace tracely
