#include "LinkEvents.h"

#include <algorithm>

namespace dt {

void LinkEvents::Subscribe(LinkListener& listener) {
    if (!Subscribed(&listener)) listeners_.push_back(&listener);
}

void LinkEvents::Unsubscribe(LinkListener& listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener), listeners_.end());
}

bool LinkEvents::Subscribed(const LinkListener* l) const {
    return std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end();
}

}  // namespace dt
