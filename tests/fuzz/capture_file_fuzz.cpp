#include "src/capture/capture_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Whatever the bytes, the reader answers with a record or an error sentence; a record it
// accepts must survive being written and read again unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace cf = tracely::capture_file;
    const cf::ReadResult r = cf::read(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!r.record) {
        if (r.message.empty() || r.error == cf::Error::None) {
            __builtin_trap();
        }
        return 0;
    }
    const cf::ReadResult again = cf::read(cf::write(*r.record));
    if (!again.record || !(*again.record == *r.record)) {
        __builtin_trap();
    }
    return 0;
}
