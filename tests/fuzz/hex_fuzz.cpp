// SplitDumpAddress, HexToLng and HexToByte on arbitrary text against a plain reading of the
// digits in 64 bits: no length of input overflows, and the results are the ones defined.
#include "src/link/dump_address.h"
#include "src/link/hex.h"
#include "tests/fuzz/check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

using namespace tracely;

using tracely::test::check;

namespace {

// The leading hex digits of text, saturated at 2^40 so that it cannot wrap.
std::uint64_t leading(std::string_view text, bool* whole = nullptr) {
    std::uint64_t v = 0;
    std::size_t used = 0;
    for (char c : text) {
        const int d = hex::digitValue(c);
        if (d < 0) {
            break;
        }
        v = v > (1ull << 40) ? v : v * 16 + static_cast<std::uint64_t>(d);
        ++used;
    }
    if (whole != nullptr) {
        *whole = used == text.size();
    }
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto offset = in.ConsumeIntegral<std::int16_t>();
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::int32_t lng = hex::HexToLng(text);
    if (text.size() == 4) {
        const std::uint64_t high = leading(text.substr(0, 1));
        const std::uint64_t low = leading(text.substr(1));
        check(lng == static_cast<std::int32_t>(high * 4096 + low), "HexToLng of four characters");
    } else {
        const std::uint64_t v = leading(text);
        check(lng == (v > 0x7FFFFFFF ? 0 : static_cast<std::int32_t>(v)), "HexToLng");
    }
    const std::uint64_t b = leading(text);
    check(hex::HexToByte(text) == (b > 255 ? 0 : b), "HexToByte");

    bool whole = false;
    const std::uint64_t v = leading(text, &whole);
    const auto address = SplitDumpAddress(text, offset);
    if (text.empty() || !whole || v > 0xFFFFFFFFull) {
        check(!address, "SplitDumpAddress took a text that is not a 32-bit hex number");
    } else {
        check(address.has_value(), "SplitDumpAddress refused a hex number");
        const auto d = static_cast<std::uint16_t>(
            (v - static_cast<std::uint64_t>(static_cast<std::int64_t>(offset))) & 0xFFFF);
        check(address->r3 == (d & 0xFF) && address->r4 == (d >> 8), "SplitDumpAddress bytes");
    }
    return 0;
}
