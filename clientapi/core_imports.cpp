#include "core_imports.h"

#include <cstdio>
#include <cstdlib>

namespace cvx::clientapi {

namespace {

template <typename Function> Function importOrdinal(unsigned ordinal) {
    CvxExportProc proc = cvxCoreOrdinal(ordinal);
    if (proc == nullptr) {
        std::fprintf(stderr, "libcvxlib: the engine library has no export %u\n", ordinal);
        std::abort();
    }
    return reinterpret_cast<Function>(proc);
}

CoreImports resolveImports() {
    return CoreImports{
        .createClient = importOrdinal<decltype(&m32CreateClient)>(1),
        .destroyClient = importOrdinal<decltype(&m32DestroyClient)>(2),
        .startMidiIn = importOrdinal<decltype(&m32StartMidiIn)>(5),
        .closeMidiIn = importOrdinal<decltype(&m32CloseMidiIn)>(7),
        .closeMidiOut = importOrdinal<decltype(&m32CloseMidiOut)>(8),
        .corvexEvent = importOrdinal<decltype(&m32corvexEvent)>(9),
        .getEvent = importOrdinal<decltype(&m32GetEvent)>(10),
        .allocSyxBufIn = importOrdinal<decltype(&m32AllocSyxBufIn)>(11),
        .allocSyxBufOut = importOrdinal<decltype(&m32AllocSyxBufOut)>(12),
        .freeSyxBufIn = importOrdinal<decltype(&m32FreeSyxBufIn)>(13),
        .freeSyxBufOut = importOrdinal<decltype(&m32FreeSyxBufOut)>(14),
        .sendSysEx = importOrdinal<decltype(&m32SendSysEx)>(15),
        .divertSysExStart = importOrdinal<decltype(&m32DivertSysExStart)>(16),
        .divertSysExStop = importOrdinal<decltype(&m32DivertSysExStop)>(17),
        .divertSysExSet = importOrdinal<decltype(&m32DivertSysExSet)>(18),
        .retBuf = importOrdinal<decltype(&m32RetBuf)>(19),
        .getSysExData = importOrdinal<decltype(&m32GetSysExData)>(20),
        .sendFilter = importOrdinal<decltype(&m32SendFilter)>(21),
        .sendMap = importOrdinal<decltype(&m32SendMap)>(22),
        .attachRawMonitor = importOrdinal<decltype(&m32AttachRawMonitor)>(23),
        .detachRawMonitor = importOrdinal<decltype(&m32DetachRawMonitor)>(24),
        .startTimeStamp = importOrdinal<decltype(&m32StartTimeStamp)>(25),
        .getTimeStamp = importOrdinal<decltype(&m32GetTimeStamp)>(26),
        .attachMTC = importOrdinal<decltype(&m32AttachMTC)>(27),
        .detachMTC = importOrdinal<decltype(&m32DetachMTC)>(28),
        .genMTCStart = importOrdinal<decltype(&m32GenMTCStart)>(29),
        .genMTCStop = importOrdinal<decltype(&m32GenMTCStop)>(30),
        .configMTC = importOrdinal<decltype(&m32ConfigMTC)>(31),
        .attachLua = importOrdinal<decltype(&m32AttachLua)>(32),
        .detachLua = importOrdinal<decltype(&m32DetachLua)>(33),
        .getSysExString = importOrdinal<decltype(&m32GetSysExString)>(34),
        .sendRunStatus = importOrdinal<decltype(&m32SendRunStatus)>(35),
        .getCurrentStatus = importOrdinal<decltype(&m32GetCurrentStatus)>(36),
        .getPortStatus = importOrdinal<decltype(&m32GetPortStatus)>(37),
        .inDevOpenCount = importOrdinal<decltype(&m32InDevOpenCount)>(38),
        .isInDevOpen = importOrdinal<decltype(&m32IsInDevOpen)>(39),
        .outDevOpenCount = importOrdinal<decltype(&m32OutDevOpenCount)>(40),
        .isOutDevOpen = importOrdinal<decltype(&m32IsOutDevOpen)>(41),
        .attachDock = importOrdinal<decltype(&m32AttachDock)>(42),
        .detachDock = importOrdinal<decltype(&m32DetachDock)>(43),
        .isDockDiverting = importOrdinal<decltype(&m32IsDockDiverting)>(44),
        .divertDock = importOrdinal<decltype(&m32DivertDock)>(45),
        .getNumAttach = importOrdinal<decltype(&m32GetNumAttach)>(46),
        .getRawSxBuf = importOrdinal<decltype(&m32GetRawSxBuf)>(47),
        .attachSync = importOrdinal<decltype(&m32AttachSync)>(48),
        .detachSync = importOrdinal<decltype(&m32DetachSync)>(49),
        .configSync = importOrdinal<decltype(&m32ConfigSync)>(50),
        .startClock = importOrdinal<decltype(&m32StartClock)>(51),
        .stopClock = importOrdinal<decltype(&m32StopClock)>(52),
        .syncCmd = importOrdinal<decltype(&m32SyncCmd)>(53),
        .inputBlocker = importOrdinal<decltype(&m32InputBlocker)>(54),
        .isCvxScriptDiverting = importOrdinal<decltype(&m32IsCvxScriptDiverting)>(55),
        .divertCvxScript = importOrdinal<decltype(&m32DivertCvxScript)>(56),
        .attachCvxScript = importOrdinal<decltype(&m32AttachCvxScript)>(57),
        .detachCvxScript = importOrdinal<decltype(&m32DetachCvxScript)>(58),
        .corvexEventDirect = importOrdinal<decltype(&m32corvexEventDirect)>(59),
        .sendParms = importOrdinal<decltype(&m32SendParms)>(60),
        .sendPDMap = importOrdinal<decltype(&m32SendPDMap)>(61),
        .clearPDMap = importOrdinal<decltype(&m32ClearPDMap)>(62),
        .corvexMapEvent = importOrdinal<decltype(&m32CorvexMapEvent)>(63),
        .updPortMap = importOrdinal<decltype(&m32UpdPortMap)>(64),
        .sendPMInfo = importOrdinal<decltype(&m32SendPMInfo)>(65),
        .openMidiIn = importOrdinal<decltype(&vx16OpenMidiIn)>(66),
        .openMidiOut = importOrdinal<decltype(&vx16OpenMidiOut)>(67),
    };
}

} // namespace

const CoreImports& core() {
    static const CoreImports imports = resolveImports();
    return imports;
}

} // namespace cvx::clientapi
