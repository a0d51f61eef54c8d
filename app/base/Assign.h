#pragma once
// Observable model objects notify only when a value really changes: a setter assigns through
// this helper and emits its signal when it returns true.
#include <utility>

namespace Tessarine {

template <class T, class U> bool assign(T& field, U&& value) {
    if (field == value) return false;
    field = std::forward<U>(value);
    return true;
}

} // namespace Tessarine
