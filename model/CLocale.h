#pragma once
// Number texts are always written and read with a point: the GUI toolkit switches the process
// to the user's locale, which would turn "50.0" into "50,0" and misread typed values.
#include <locale.h>

namespace dt {

class CNumericScope {
public:
    CNumericScope() {
        static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        previous_ = c ? uselocale(c) : static_cast<locale_t>(0);
    }
    ~CNumericScope() {
        if (previous_) uselocale(previous_);
    }
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    locale_t previous_;
};

}  // namespace dt
