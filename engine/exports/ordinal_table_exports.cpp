// The engine's exports by ordinal. A client library reaches the engine only through this
// lookup, generated from the one ordinal list (export_ordinals.h). A switch rather than a
// table: there is no data to initialise, so the lookup works before any static constructor
// of the process has run.
#include "exports/export_ordinals.h"

namespace {

template <typename Function> CvxExportProc proc(Function* function) {
    return reinterpret_cast<CvxExportProc>(function);
}

} // namespace

extern "C" CvxExportProc cvxCoreOrdinal(unsigned ordinal) CVX_NOEXCEPT {
    switch (ordinal) {
#define CVX_ORDINAL_CASE(number, function, member, kind)                                           \
    case number:                                                                                   \
        return proc(&function);
        CVX_EXPORT_ORDINALS(CVX_ORDINAL_CASE)
#undef CVX_ORDINAL_CASE
    default:
        return nullptr;
    }
}
