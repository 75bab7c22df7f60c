#include "core/engine_lock.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineLock, IsReentrantOnOneThread) {
    cvx::core::EngineGuard outer(cvx::core::engineLock());
    cvx::core::EngineGuard inner(cvx::core::engineLock());
    SUCCEED();
}

} // namespace
