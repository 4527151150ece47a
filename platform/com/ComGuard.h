#pragma once

#include "ComTypes.h"

#include <new>

namespace com {

// Runs `body` and turns any exception into a result code, so that none
// crosses the module boundary.
template <typename Body> HRESULT ComGuard(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace com
