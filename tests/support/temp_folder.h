#pragma once

#include <QString>

#include <filesystem>
#include <stdlib.h>
#include <string>

namespace tracely::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
struct TempFolder {
    std::filesystem::path path;
    TempFolder() {
        std::string name =
            (std::filesystem::temp_directory_path() / "tracely-test-XXXXXX").string();
        if (::mkdtemp(name.data()) != nullptr) {
            path = name;
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const char* name) const { return (path / name).string(); }
    QString qfile(const char* name) const { return QString::fromStdString(file(name)); }
};

} // namespace tracely::test
