#pragma once
// Number texts are always written and read with a point: the GUI toolkit switches the process
// to the user's locale, which would turn "50.0" into "50,0" and misread typed values.
#include <string>

namespace dt {

// The C locale's numbers on this thread while the scope lasts (linux/CLocale.cpp; win/CLocaleWin.cpp).
class CNumericScope {
public:
    CNumericScope();
    ~CNumericScope();
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    // What the scope puts back: the thread's locale (POSIX), or the thread's locale mode and
    // numeric category (Windows). Each platform uses only its own.
    [[maybe_unused]] void* previous_ = nullptr;
    [[maybe_unused]] int previousMode_ = 0;
    [[maybe_unused]] std::string previousNumeric_;
};

}  // namespace dt
