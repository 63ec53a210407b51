#include "src/link/dump_address.h"

#include "src/link/hex.h"

namespace tracely {

std::optional<DumpAddress> SplitDumpAddress(std::string_view answer, std::int16_t offset) {
    if (answer.empty()) {
        return std::nullopt;
    }
    for (char c : answer) {
        if (hex::digitValue(c) < 0) {
            return std::nullopt;
        }
    }
    const hex::Parsed a = hex::parsePrefix(answer, 0xFFFFFFFFu);
    if (a.overflow) {
        return std::nullopt;
    }
    // Only the last four hex digits of the difference count, so unsigned wrap-around gives
    // the same bytes as the signed arithmetic would.
    const std::uint32_t d =
        (a.value - static_cast<std::uint32_t>(static_cast<std::int32_t>(offset))) & 0xFFFFu;
    return DumpAddress{static_cast<std::uint8_t>(d & 0xFF), static_cast<std::uint8_t>(d >> 8)};
}

} // namespace tracely
