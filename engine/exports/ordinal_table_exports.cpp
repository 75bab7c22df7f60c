// The engine's exports by ordinal. A client library reaches the engine only through this
// table, so the numbers are a contract: never renumber, only append.
#include "cvxcore.h"

namespace {

template <typename Function> CvxExportProc proc(Function* function) {
    return reinterpret_cast<CvxExportProc>(function);
}

// Index = ordinal; entry 0 is unused. Address constants only, so the table is filled when the
// library is mapped, before any code runs.
const CvxExportProc kOrdinals[CVX_ORDINAL_LAST + 1] = {
    nullptr,
    proc(&m32CreateClient),         // 1
    proc(&m32DestroyClient),        // 2
    proc(&vx16OpenMidiIn),          // 3, the same operation as 66
    proc(&vx16OpenMidiOut),         // 4, the same operation as 67
    proc(&m32StartMidiIn),          // 5
    proc(&DllMain),                 // 6
    proc(&m32CloseMidiIn),          // 7
    proc(&m32CloseMidiOut),         // 8
    proc(&m32corvexEvent),          // 9
    proc(&m32GetEvent),             // 10
    proc(&m32AllocSyxBufIn),        // 11
    proc(&m32AllocSyxBufOut),       // 12
    proc(&m32FreeSyxBufIn),         // 13
    proc(&m32FreeSyxBufOut),        // 14
    proc(&m32SendSysEx),            // 15
    proc(&m32DivertSysExStart),     // 16
    proc(&m32DivertSysExStop),      // 17
    proc(&m32DivertSysExSet),       // 18
    proc(&m32RetBuf),               // 19
    proc(&m32GetSysExData),         // 20
    proc(&m32SendFilter),           // 21
    proc(&m32SendMap),              // 22
    proc(&m32AttachRawMonitor),     // 23
    proc(&m32DetachRawMonitor),     // 24
    proc(&m32StartTimeStamp),       // 25
    proc(&m32GetTimeStamp),         // 26
    proc(&m32AttachMTC),            // 27
    proc(&m32DetachMTC),            // 28
    proc(&m32GenMTCStart),          // 29
    proc(&m32GenMTCStop),           // 30
    proc(&m32ConfigMTC),            // 31
    proc(&m32AttachLua),            // 32
    proc(&m32DetachLua),            // 33
    proc(&m32GetSysExString),       // 34
    proc(&m32SendRunStatus),        // 35
    proc(&m32GetCurrentStatus),     // 36
    proc(&m32GetPortStatus),        // 37
    proc(&m32InDevOpenCount),       // 38
    proc(&m32IsInDevOpen),          // 39
    proc(&m32OutDevOpenCount),      // 40
    proc(&m32IsOutDevOpen),         // 41
    proc(&m32AttachDock),           // 42
    proc(&m32DetachDock),           // 43
    proc(&m32IsDockDiverting),      // 44
    proc(&m32DivertDock),           // 45
    proc(&m32GetNumAttach),         // 46
    proc(&m32GetRawSxBuf),          // 47
    proc(&m32AttachSync),           // 48
    proc(&m32DetachSync),           // 49
    proc(&m32ConfigSync),           // 50
    proc(&m32StartClock),           // 51
    proc(&m32StopClock),            // 52
    proc(&m32SyncCmd),              // 53
    proc(&m32InputBlocker),         // 54
    proc(&m32IsCvxScriptDiverting), // 55
    proc(&m32DivertCvxScript),      // 56
    proc(&m32AttachCvxScript),      // 57
    proc(&m32DetachCvxScript),      // 58
    proc(&m32corvexEventDirect),    // 59
    proc(&m32SendParms),            // 60
    proc(&m32SendPDMap),            // 61
    proc(&m32ClearPDMap),           // 62
    proc(&m32CorvexMapEvent),       // 63
    proc(&m32UpdPortMap),           // 64
    proc(&m32SendPMInfo),           // 65
    proc(&vx16OpenMidiIn),          // 66
    proc(&vx16OpenMidiOut),         // 67
    proc(&CorvexLuaEvent),          // 68
};

} // namespace

extern "C" CvxExportProc cvxCoreOrdinal(unsigned ordinal) {
    return ordinal >= CVX_ORDINAL_FIRST && ordinal <= CVX_ORDINAL_LAST ? kOrdinals[ordinal]
                                                                       : nullptr;
}
