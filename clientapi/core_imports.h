// The engine functions this library forwards to, imported by ordinal through the engine's
// ordinal table: the library refers to no engine export by name except cvxCoreOrdinal. The
// engine header is included for the signatures only.
#pragma once

#include "cvxcore.h"

namespace cvx::clientapi {

struct CoreImports {
    decltype(&m32CreateClient) createClient;                 // 1
    decltype(&m32DestroyClient) destroyClient;               // 2
    decltype(&m32StartMidiIn) startMidiIn;                   // 5
    decltype(&m32CloseMidiIn) closeMidiIn;                   // 7
    decltype(&m32CloseMidiOut) closeMidiOut;                 // 8
    decltype(&m32corvexEvent) corvexEvent;                   // 9
    decltype(&m32GetEvent) getEvent;                         // 10
    decltype(&m32AllocSyxBufIn) allocSyxBufIn;               // 11
    decltype(&m32AllocSyxBufOut) allocSyxBufOut;             // 12
    decltype(&m32FreeSyxBufIn) freeSyxBufIn;                 // 13
    decltype(&m32FreeSyxBufOut) freeSyxBufOut;               // 14
    decltype(&m32SendSysEx) sendSysEx;                       // 15
    decltype(&m32DivertSysExStart) divertSysExStart;         // 16
    decltype(&m32DivertSysExStop) divertSysExStop;           // 17
    decltype(&m32DivertSysExSet) divertSysExSet;             // 18
    decltype(&m32RetBuf) retBuf;                             // 19
    decltype(&m32GetSysExData) getSysExData;                 // 20
    decltype(&m32SendFilter) sendFilter;                     // 21
    decltype(&m32SendMap) sendMap;                           // 22
    decltype(&m32AttachRawMonitor) attachRawMonitor;         // 23
    decltype(&m32DetachRawMonitor) detachRawMonitor;         // 24
    decltype(&m32StartTimeStamp) startTimeStamp;             // 25
    decltype(&m32GetTimeStamp) getTimeStamp;                 // 26
    decltype(&m32AttachMTC) attachMTC;                       // 27
    decltype(&m32DetachMTC) detachMTC;                       // 28
    decltype(&m32GenMTCStart) genMTCStart;                   // 29
    decltype(&m32GenMTCStop) genMTCStop;                     // 30
    decltype(&m32ConfigMTC) configMTC;                       // 31
    decltype(&m32AttachLua) attachLua;                       // 32
    decltype(&m32DetachLua) detachLua;                       // 33
    decltype(&m32GetSysExString) getSysExString;             // 34
    decltype(&m32SendRunStatus) sendRunStatus;               // 35
    decltype(&m32GetCurrentStatus) getCurrentStatus;         // 36
    decltype(&m32GetPortStatus) getPortStatus;               // 37
    decltype(&m32InDevOpenCount) inDevOpenCount;             // 38
    decltype(&m32IsInDevOpen) isInDevOpen;                   // 39
    decltype(&m32OutDevOpenCount) outDevOpenCount;           // 40
    decltype(&m32IsOutDevOpen) isOutDevOpen;                 // 41
    decltype(&m32AttachDock) attachDock;                     // 42
    decltype(&m32DetachDock) detachDock;                     // 43
    decltype(&m32IsDockDiverting) isDockDiverting;           // 44
    decltype(&m32DivertDock) divertDock;                     // 45
    decltype(&m32GetNumAttach) getNumAttach;                 // 46
    decltype(&m32GetRawSxBuf) getRawSxBuf;                   // 47
    decltype(&m32AttachSync) attachSync;                     // 48
    decltype(&m32DetachSync) detachSync;                     // 49
    decltype(&m32ConfigSync) configSync;                     // 50
    decltype(&m32StartClock) startClock;                     // 51
    decltype(&m32StopClock) stopClock;                       // 52
    decltype(&m32SyncCmd) syncCmd;                           // 53
    decltype(&m32InputBlocker) inputBlocker;                 // 54
    decltype(&m32IsCvxScriptDiverting) isCvxScriptDiverting; // 55
    decltype(&m32DivertCvxScript) divertCvxScript;           // 56
    decltype(&m32AttachCvxScript) attachCvxScript;           // 57
    decltype(&m32DetachCvxScript) detachCvxScript;           // 58
    decltype(&m32corvexEventDirect) corvexEventDirect;       // 59
    decltype(&m32SendParms) sendParms;                       // 60
    decltype(&m32SendPDMap) sendPDMap;                       // 61
    decltype(&m32ClearPDMap) clearPDMap;                     // 62
    decltype(&m32CorvexMapEvent) corvexMapEvent;             // 63
    decltype(&m32UpdPortMap) updPortMap;                     // 64
    decltype(&m32SendPMInfo) sendPMInfo;                     // 65
    decltype(&vx16OpenMidiIn) openMidiIn;                    // 66
    decltype(&vx16OpenMidiOut) openMidiOut;                  // 67
};

// The imports, resolved on first use. A missing ordinal means a mismatched engine library:
// the process stops with a message, as a loader would refuse the library.
const CoreImports& core();

} // namespace cvx::clientapi
