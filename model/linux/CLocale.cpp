#include "CLocale.h"

#include <locale.h>

namespace dt {

CNumericScope::CNumericScope() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    previous_ = c ? uselocale(c) : static_cast<locale_t>(0);
}

CNumericScope::~CNumericScope() {
    if (previous_) uselocale(static_cast<locale_t>(previous_));
}

}  // namespace dt
