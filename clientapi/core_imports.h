// The engine functions this library forwards to, imported by ordinal through the engine's
// ordinal lookup: the library refers to no engine export by name except cvxCoreOrdinal. The
// members are generated from the engine's one ordinal list, so an import can never name a
// different ordinal than the engine's table gives that function.
#pragma once

#include "exports/export_ordinals.h"

namespace cvx::clientapi {

#define CVX_IMPORT_MEMBER_IMPORTED(function, member) decltype(&function) member;
#define CVX_IMPORT_MEMBER_ENGINE_ONLY(function, member)
#define CVX_IMPORT_MEMBER(number, function, member, kind) CVX_IMPORT_MEMBER_##kind(function, member)

struct CoreImports {
    CVX_EXPORT_ORDINALS(CVX_IMPORT_MEMBER)
};

#undef CVX_IMPORT_MEMBER
#undef CVX_IMPORT_MEMBER_ENGINE_ONLY
#undef CVX_IMPORT_MEMBER_IMPORTED

// The imports, resolved on first use (any thread; the first call resolves them once). A
// missing ordinal means a mismatched engine library: the process stops with a message, as
// a loader would refuse the library.
const CoreImports& core() noexcept;

} // namespace cvx::clientapi
