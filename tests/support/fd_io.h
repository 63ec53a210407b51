#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// Byte I/O on a non-blocking descriptor for the test's end of a line.
namespace tracely::test {

bool writeAll(int fd, std::string_view data);
// What is there, waiting up to `wait` for the first byte.
std::string readAvailable(int fd, std::chrono::milliseconds wait);
// Up to n bytes: returns when they have come, the wait has passed, or the far end has gone.
std::string readUpTo(int fd, std::size_t n, std::chrono::milliseconds wait);

} // namespace tracely::test
