#pragma once
// A table of rows that each name their id, checked at compile time to list every id of its
// enum once, in order: a row inserted in the middle cannot shift the ones after it unseen.
#include <cstddef>

namespace dt {

template <typename Row, std::size_t N>
constexpr bool ListedInIdOrder(const Row (&rows)[N], int idCount) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(rows[i].id) != i) return false;
    return static_cast<int>(N) == idCount;
}

}  // namespace dt
