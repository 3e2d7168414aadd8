#include <clocale>
#include <locale.h>

#include "CLocale.h"

namespace dt {

// The C runtime's locale becomes this thread's own for the scope, so other threads keep theirs.
CNumericScope::CNumericScope() {
    previousMode_ = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    previousNumeric_ = numeric ? numeric : "C";
    std::setlocale(LC_NUMERIC, "C");
}

CNumericScope::~CNumericScope() {
    std::setlocale(LC_NUMERIC, previousNumeric_.c_str());
    _configthreadlocale(previousMode_);
}

}  // namespace dt
