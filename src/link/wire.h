#pragma once

#include <cstdint>
#include <span>
#include <string>

// The BitScope's command encoding: single printable characters, numbers in hexadecimal fields.
// Free of Qt so that the simulator speaks exactly the same language.
namespace tracely::wire {

// "[" + lower-case hex digits + "]"; zero is "[" alone (the following "s" stores it).
std::string numberField(std::uint8_t value);

// Select register `reg`, store the first value, then "n" + value + "s" for each further one.
std::string registerWrite(std::uint8_t reg, std::span<const std::uint8_t> values);

// The characters Update sends for the register image, in order.
struct RegisterImage {
    std::uint8_t r5, r6, r7, r8, r11, r12, r13, r14, r15, r20;
};
std::string updateSequence(const RegisterImage& img);

// The dump request: start address into R3/R4, dump mode into R7, then ">".
std::string dumpRequestSequence(std::uint8_t r3, std::uint8_t r4, std::uint8_t dumpMode);

// Command characters.
inline constexpr char kSelect = '@';
inline constexpr char kStore = 's';
inline constexpr char kNext = 'n';
inline constexpr char kArm = '>';
inline constexpr char kTrace = 'T';
inline constexpr char kDump = 'M';
inline constexpr char kIdent = '?';
inline constexpr char kOpen = '[';
inline constexpr char kClose = ']';

inline constexpr int kDumpBlockBytes = 513; // one leading byte + 256 (logic, analog) pairs
inline constexpr int kSamplesPerBlock = 256;

} // namespace tracely::wire
