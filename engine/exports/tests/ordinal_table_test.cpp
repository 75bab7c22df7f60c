// Every ordinal of the engine names the export of that name in the shared library.
#include "cvxcore.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The ordinal contract, written out independently of the table in the library.
const char* const kExportNames[] = {
    nullptr,
    "m32CreateClient",
    "m32DestroyClient",
    "vx16OpenMidiIn",  // 3 is the same function as 66
    "vx16OpenMidiOut", // 4 is the same function as 67
    "m32StartMidiIn",
    "DllMain",
    "m32CloseMidiIn",
    "m32CloseMidiOut",
    "m32corvexEvent",
    "m32GetEvent",
    "m32AllocSyxBufIn",
    "m32AllocSyxBufOut",
    "m32FreeSyxBufIn",
    "m32FreeSyxBufOut",
    "m32SendSysEx",
    "m32DivertSysExStart",
    "m32DivertSysExStop",
    "m32DivertSysExSet",
    "m32RetBuf",
    "m32GetSysExData",
    "m32SendFilter",
    "m32SendMap",
    "m32AttachRawMonitor",
    "m32DetachRawMonitor",
    "m32StartTimeStamp",
    "m32GetTimeStamp",
    "m32AttachMTC",
    "m32DetachMTC",
    "m32GenMTCStart",
    "m32GenMTCStop",
    "m32ConfigMTC",
    "m32AttachLua",
    "m32DetachLua",
    "m32GetSysExString",
    "m32SendRunStatus",
    "m32GetCurrentStatus",
    "m32GetPortStatus",
    "m32InDevOpenCount",
    "m32IsInDevOpen",
    "m32OutDevOpenCount",
    "m32IsOutDevOpen",
    "m32AttachDock",
    "m32DetachDock",
    "m32IsDockDiverting",
    "m32DivertDock",
    "m32GetNumAttach",
    "m32GetRawSxBuf",
    "m32AttachSync",
    "m32DetachSync",
    "m32ConfigSync",
    "m32StartClock",
    "m32StopClock",
    "m32SyncCmd",
    "m32InputBlocker",
    "m32IsCvxScriptDiverting",
    "m32DivertCvxScript",
    "m32AttachCvxScript",
    "m32DetachCvxScript",
    "m32corvexEventDirect",
    "m32SendParms",
    "m32SendPDMap",
    "m32ClearPDMap",
    "m32CorvexMapEvent",
    "m32UpdPortMap",
    "m32SendPMInfo",
    "vx16OpenMidiIn",
    "vx16OpenMidiOut",
    "CorvexLuaEvent",
    "m32GetPortCounters",
};

static_assert(std::size(kExportNames) == CVX_ORDINAL_LAST + 1);

void* exportNamed(const char* name) {
    return dlsym(RTLD_DEFAULT, name);
}

void* ordinal(unsigned number) {
    return reinterpret_cast<void*>(cvxCoreOrdinal(number));
}

TEST(OrdinalTableTest, EveryOrdinalIsTheExportOfItsName) {
    for (unsigned number = CVX_ORDINAL_FIRST; number <= CVX_ORDINAL_LAST; ++number) {
        void* named = exportNamed(kExportNames[number]);
        ASSERT_NE(named, nullptr) << kExportNames[number];
        EXPECT_EQ(ordinal(number), named) << "ordinal " << number;
    }
}

TEST(OrdinalTableTest, OpenOrdinalsThreeAndFourAreSixtySixAndSixtySeven) {
    EXPECT_EQ(ordinal(3), ordinal(66));
    EXPECT_EQ(ordinal(4), ordinal(67));
    // The m32 names stay exported for callers that bind by name.
    EXPECT_NE(exportNamed("m32OpenMidiIn"), nullptr);
    EXPECT_NE(exportNamed("m32OpenMidiOut"), nullptr);
}

TEST(OrdinalTableTest, NothingOutsideTheTable) {
    EXPECT_EQ(ordinal(0), nullptr);
    EXPECT_EQ(ordinal(CVX_ORDINAL_LAST + 1), nullptr);
    EXPECT_EQ(ordinal(~0u), nullptr);
}

} // namespace
