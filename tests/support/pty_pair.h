#pragma once

#include <chrono>
#include <string>

namespace tracely::test {

// A pseudo-terminal opened by the test: the test plays the far end on the master side, the
// code under test opens slavePath() like any serial device.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    int masterFd() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // Writes all of data to the master side.
    bool write(const std::string& data);
    // Reads what is available on the master side, waiting up to `wait` for the first byte.
    std::string read(std::chrono::milliseconds wait);
    // Reads until `n` bytes have arrived or `wait` has passed.
    std::string readN(std::size_t n, std::chrono::milliseconds wait);
    // Closes the master side: the far end hangs up.
    void hangUp();

private:
    int master_ = -1;
    int slaveKeep_ = -1; // held open so that the slave exists before the code under test opens it
    std::string slavePath_;
};

} // namespace tracely::test
