#pragma once

#include <chrono>
#include <string>

namespace tracely::test {

// The program's end of a serial line, reduced to what a test needs: a raw terminal at a speed,
// bytes out, bytes in with a deadline.
class LineClient {
public:
    LineClient(const std::string& path, int baud);
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool ok() const { return fd_ >= 0; }
    bool setBaud(int baud);
    bool write(const std::string& data);
    // Reads until n bytes have come or the wait has passed.
    std::string readN(std::size_t n, std::chrono::milliseconds wait);
    // Sends each character and collects exactly one answer byte per character.
    std::string exchange(const std::string& chars, std::chrono::milliseconds waitEach);
    void close();

private:
    int fd_ = -1;
};

} // namespace tracely::test
