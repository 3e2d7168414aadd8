#pragma once
// Standard output whose every write is checked: a full disk or a closed stream is an error the
// command reports, never a success with the data lost.
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

namespace dt::cli {

// Writes through a C stream and keeps the system's reason for the first write that failed.
class CheckedOutputBuf : public std::streambuf {
public:
    explicit CheckedOutputBuf(std::FILE* file) : file_(file) {}
    // The system's words for the first failure ("No space left on device"), "" while none.
    const std::string& Failure() const { return failure_; }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    bool Failed();
    std::FILE* file_;
    std::string failure_;
};

// The reason out could not be written, after flushing it: "" when every write went through.
std::string OutputFailure(std::ostream& out);

}  // namespace dt::cli
