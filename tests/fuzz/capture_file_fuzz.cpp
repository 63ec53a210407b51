#include "src/capture/capture_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Whatever the bytes, the reader answers with a record or an error sentence; the
// captures it accepts must survive being written and read again unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace cf = tracely::capture_file;
    const cf::ReadResult r = cf::read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (r.records.empty()) {
        if (r.message.empty() || r.error == cf::Error::None) {
            __builtin_trap();
        }
        return 0;
    }
    std::string bytes = cf::header();
    for (const tracely::CaptureRecord& c : r.records) {
        bytes += cf::captureParts(c);
    }
    const cf::ReadResult again = cf::read(bytes + cf::endMark());
    if (again.records != r.records) {
        __builtin_trap();
    }
    return 0;
}
