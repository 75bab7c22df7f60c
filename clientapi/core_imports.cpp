#include "core_imports.h"

#include <cstdio>
#include <cstdlib>

namespace cvx::clientapi {

namespace {

template <typename Function> Function importOrdinal(unsigned ordinal) noexcept {
    CvxExportProc proc = cvxCoreOrdinal(ordinal);
    if (proc == nullptr) {
        std::fprintf(stderr, "libcvxlib: the engine library has no export %u\n", ordinal);
        std::abort();
    }
    return reinterpret_cast<Function>(proc);
}

CoreImports resolveImports() noexcept {
    CoreImports imports{};
#define CVX_RESOLVE_IMPORTED(number, function, member)                                             \
    imports.member = importOrdinal<decltype(&function)>(number);
#define CVX_RESOLVE_ENGINE_ONLY(number, function, member)
#define CVX_RESOLVE(number, function, member, kind) CVX_RESOLVE_##kind(number, function, member)
    CVX_EXPORT_ORDINALS(CVX_RESOLVE)
#undef CVX_RESOLVE
#undef CVX_RESOLVE_ENGINE_ONLY
#undef CVX_RESOLVE_IMPORTED
    return imports;
}

} // namespace

const CoreImports& core() noexcept {
    static const CoreImports imports = resolveImports();
    return imports;
}

} // namespace cvx::clientapi
