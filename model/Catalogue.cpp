#include "Catalogue.h"

namespace dt {

const std::shared_ptr<const Catalogue>& BuiltInCatalogue() {
    static const std::shared_ptr<const Catalogue> catalogue = std::make_shared<const Catalogue>();
    return catalogue;
}

}  // namespace dt
