#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tracely {

struct DumpAddress {
    std::uint8_t r3; // low byte
    std::uint8_t r4; // high byte
};

// The dump start address: the trigger answer read as hexadecimal, less the dump offset,
// modulo 65536. Nothing when the answer is not a hexadecimal number (empty, other characters,
// or more digits than a 32-bit value holds).
[[nodiscard]] std::optional<DumpAddress> SplitDumpAddress(std::string_view answer,
                                                          std::int16_t offset);

} // namespace tracely
