#include "src/link/hex.h"

namespace tracely::hex {

Parsed parsePrefix(std::string_view text, std::uint32_t limit) {
    Parsed p;
    for (char c : text) {
        const int d = digitValue(c);
        if (d < 0) {
            break;
        }
        if (p.value > (limit - static_cast<std::uint32_t>(d)) / 16) {
            p.overflow = true;
            p.value = limit;
            break;
        }
        p.value = p.value * 16 + static_cast<std::uint32_t>(d);
    }
    return p;
}

std::uint8_t HexToByte(std::string_view text) {
    const Parsed p = parsePrefix(text, 255);
    return p.overflow ? 0 : static_cast<std::uint8_t>(p.value);
}

std::int32_t HexToLng(std::string_view text) {
    if (text.size() == 4) {
        const Parsed high = parsePrefix(text.substr(0, 1), 15);
        const Parsed low = parsePrefix(text.substr(1), 0xFFF);
        return static_cast<std::int32_t>(high.value * 4096 + low.value);
    }
    const Parsed p = parsePrefix(text, 0x7FFFFFFF);
    return p.overflow ? 0 : static_cast<std::int32_t>(p.value);
}

} // namespace tracely::hex
