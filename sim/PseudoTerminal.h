#pragma once
// The controller's end of a pseudo-terminal. The slave side stays open here as well, so the
// terminal does not hang up while no client has it open.
#include <string>

namespace sim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    // Opens the pair in raw mode at the baud rate; false with a reason on failure.
    bool Open(int baud, std::string& error);
    void Close();

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Raw mode, 8N1, no flow control, the given speed when it is a standard one.
// Returns false when the speed is not standard (the rest is still set).
bool SetRawMode(int fd, int baud);

}  // namespace sim
