#pragma once

#include "store/StoreError.h"

#include <optional>
#include <utility>

namespace store {

// Runs the steps of a routine with errors suppressed one step at a time: a step that raises
// is abandoned and the routine goes on with the next one, keeping the error as the pending
// one for the routine to look at where it chooses to.
class SuppressedSteps {
public:
    template <class F> void run(F&& step) {
        try {
            std::forward<F>(step)();
        } catch (const StoreError& e) {
            m_pending = e;
        }
    }

    // A test whose evaluation raises counts as passed: execution goes on with the branch
    // taken when the test holds.
    template <class F> bool test(F&& condition) {
        try {
            return std::forward<F>(condition)();
        } catch (const StoreError& e) {
            m_pending = e;
            return true;
        }
    }

    bool hasPending() const { return m_pending.has_value(); }
    const std::optional<StoreError>& pending() const { return m_pending; }
    void clear() { m_pending.reset(); }

private:
    std::optional<StoreError> m_pending;
};

} // namespace store
