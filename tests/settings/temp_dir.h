#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tracely::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    std::filesystem::path path() const { return dir_.path().toStdString(); }
    std::string file(const std::string& name) const { return (path() / name).string(); }

private:
    QTemporaryDir dir_;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace tracely::test
