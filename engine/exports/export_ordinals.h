// The one list of the engine's export ordinals. The engine's ordinal table (cvxCoreOrdinal)
// and the client library's imports are both generated from it, so they cannot disagree.
//
// X(ordinal, function, member, kind): `member` names the client library's import of the
// function; `kind` is IMPORTED when the client library imports that ordinal, ENGINE_ONLY
// when only the table holds it (3 and 4 are the same functions as 66 and 67, which the
// client library uses; 6 is the process entry; 68 is called by the application directly).
//
// The numbers are a contract with every client library built so far: never renumber, only
// append, and keep the list in ascending order (checked below).
#pragma once

#include "cvxcore.h"

#define CVX_EXPORT_ORDINALS(X)                                                                     \
    X(1, m32CreateClient, createClient, IMPORTED)                                                  \
    X(2, m32DestroyClient, destroyClient, IMPORTED)                                                \
    X(3, vx16OpenMidiIn, openMidiInAlias, ENGINE_ONLY)                                             \
    X(4, vx16OpenMidiOut, openMidiOutAlias, ENGINE_ONLY)                                           \
    X(5, m32StartMidiIn, startMidiIn, IMPORTED)                                                    \
    X(6, DllMain, processEntry, ENGINE_ONLY)                                                       \
    X(7, m32CloseMidiIn, closeMidiIn, IMPORTED)                                                    \
    X(8, m32CloseMidiOut, closeMidiOut, IMPORTED)                                                  \
    X(9, m32corvexEvent, corvexEvent, IMPORTED)                                                    \
    X(10, m32GetEvent, getEvent, IMPORTED)                                                         \
    X(11, m32AllocSyxBufIn, allocSyxBufIn, IMPORTED)                                               \
    X(12, m32AllocSyxBufOut, allocSyxBufOut, IMPORTED)                                             \
    X(13, m32FreeSyxBufIn, freeSyxBufIn, IMPORTED)                                                 \
    X(14, m32FreeSyxBufOut, freeSyxBufOut, IMPORTED)                                               \
    X(15, m32SendSysEx, sendSysEx, IMPORTED)                                                       \
    X(16, m32DivertSysExStart, divertSysExStart, IMPORTED)                                         \
    X(17, m32DivertSysExStop, divertSysExStop, IMPORTED)                                           \
    X(18, m32DivertSysExSet, divertSysExSet, IMPORTED)                                             \
    X(19, m32RetBuf, retBuf, IMPORTED)                                                             \
    X(20, m32GetSysExData, getSysExData, IMPORTED)                                                 \
    X(21, m32SendFilter, sendFilter, IMPORTED)                                                     \
    X(22, m32SendMap, sendMap, IMPORTED)                                                           \
    X(23, m32AttachRawMonitor, attachRawMonitor, IMPORTED)                                         \
    X(24, m32DetachRawMonitor, detachRawMonitor, IMPORTED)                                         \
    X(25, m32StartTimeStamp, startTimeStamp, IMPORTED)                                             \
    X(26, m32GetTimeStamp, getTimeStamp, IMPORTED)                                                 \
    X(27, m32AttachMTC, attachMTC, IMPORTED)                                                       \
    X(28, m32DetachMTC, detachMTC, IMPORTED)                                                       \
    X(29, m32GenMTCStart, genMTCStart, IMPORTED)                                                   \
    X(30, m32GenMTCStop, genMTCStop, IMPORTED)                                                     \
    X(31, m32ConfigMTC, configMTC, IMPORTED)                                                       \
    X(32, m32AttachLua, attachLua, IMPORTED)                                                       \
    X(33, m32DetachLua, detachLua, IMPORTED)                                                       \
    X(34, m32GetSysExString, getSysExString, IMPORTED)                                             \
    X(35, m32SendRunStatus, sendRunStatus, IMPORTED)                                               \
    X(36, m32GetCurrentStatus, getCurrentStatus, IMPORTED)                                         \
    X(37, m32GetPortStatus, getPortStatus, IMPORTED)                                               \
    X(38, m32InDevOpenCount, inDevOpenCount, IMPORTED)                                             \
    X(39, m32IsInDevOpen, isInDevOpen, IMPORTED)                                                   \
    X(40, m32OutDevOpenCount, outDevOpenCount, IMPORTED)                                           \
    X(41, m32IsOutDevOpen, isOutDevOpen, IMPORTED)                                                 \
    X(42, m32AttachDock, attachDock, IMPORTED)                                                     \
    X(43, m32DetachDock, detachDock, IMPORTED)                                                     \
    X(44, m32IsDockDiverting, isDockDiverting, IMPORTED)                                           \
    X(45, m32DivertDock, divertDock, IMPORTED)                                                     \
    X(46, m32GetNumAttach, getNumAttach, IMPORTED)                                                 \
    X(47, m32GetRawSxBuf, getRawSxBuf, IMPORTED)                                                   \
    X(48, m32AttachSync, attachSync, IMPORTED)                                                     \
    X(49, m32DetachSync, detachSync, IMPORTED)                                                     \
    X(50, m32ConfigSync, configSync, IMPORTED)                                                     \
    X(51, m32StartClock, startClock, IMPORTED)                                                     \
    X(52, m32StopClock, stopClock, IMPORTED)                                                       \
    X(53, m32SyncCmd, syncCmd, IMPORTED)                                                           \
    X(54, m32InputBlocker, inputBlocker, IMPORTED)                                                 \
    X(55, m32IsCvxScriptDiverting, isCvxScriptDiverting, IMPORTED)                                 \
    X(56, m32DivertCvxScript, divertCvxScript, IMPORTED)                                           \
    X(57, m32AttachCvxScript, attachCvxScript, IMPORTED)                                           \
    X(58, m32DetachCvxScript, detachCvxScript, IMPORTED)                                           \
    X(59, m32corvexEventDirect, corvexEventDirect, IMPORTED)                                       \
    X(60, m32SendParms, sendParms, IMPORTED)                                                       \
    X(61, m32SendPDMap, sendPDMap, IMPORTED)                                                       \
    X(62, m32ClearPDMap, clearPDMap, IMPORTED)                                                     \
    X(63, m32CorvexMapEvent, corvexMapEvent, IMPORTED)                                             \
    X(64, m32UpdPortMap, updPortMap, IMPORTED)                                                     \
    X(65, m32SendPMInfo, sendPMInfo, IMPORTED)                                                     \
    X(66, vx16OpenMidiIn, openMidiIn, IMPORTED)                                                    \
    X(67, vx16OpenMidiOut, openMidiOut, IMPORTED)                                                  \
    X(68, CorvexLuaEvent, luaEvent, ENGINE_ONLY)                                                   \
    X(69, m32GetPortCounters, getPortCounters, IMPORTED)

namespace cvx::exports {

// The list's ordinals are CVX_ORDINAL_FIRST, CVX_ORDINAL_FIRST + 1, ... CVX_ORDINAL_LAST.
consteval bool ordinalsAreConsecutive() {
    unsigned expected = CVX_ORDINAL_FIRST;
#define CVX_CHECK_ORDINAL(number, function, member, kind)                                          \
    if ((number) != expected++) {                                                                  \
        return false;                                                                              \
    }
    CVX_EXPORT_ORDINALS(CVX_CHECK_ORDINAL)
#undef CVX_CHECK_ORDINAL
    return expected == CVX_ORDINAL_LAST + 1;
}

static_assert(ordinalsAreConsecutive(),
              "export ordinals must run from CVX_ORDINAL_FIRST to CVX_ORDINAL_LAST in order");

} // namespace cvx::exports
