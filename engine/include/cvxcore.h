/* The engine's exports. A client handle is an opaque unsigned 64-bit value, 0 meaning none.
   Operations return 1 for success and 0 for failure, or a platform MIDI result unchanged. */
#ifndef CVXCORE_H
#define CVXCORE_H

#include "cvx_platform.h"
#include "cvx_records.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Clients, queues and consumers ----------------------------------------------------- */

CVX_API uint64_t m32CreateClient(HWND mainWindow, HINSTANCE instance, CFilter* filter);
CVX_API void m32DestroyClient(uint64_t client);

CVX_API uint16_t m32GetEvent(uint64_t client, EVENT* out, MonID id);
CVX_API uint16_t m32GetSysExString(uint64_t client, uint16_t slot, uint8_t* buffer,
                                   uint16_t size);
CVX_API int m32GetRawSxBuf(uint64_t client, MonID id, uint16_t slot, uint8_t* buffer,
                           uint16_t size);

CVX_API int m32AttachRawMonitor(uint64_t client, HWND window);
CVX_API int m32DetachRawMonitor(uint64_t client);
CVX_API int m32AttachLua(uint64_t client, HWND window, int divert);
CVX_API int m32DetachLua(uint64_t client);
CVX_API int m32AttachCvxScript(uint64_t client, HWND window);
CVX_API int m32DetachCvxScript(uint64_t client);
CVX_API int m32AttachDock(uint64_t client, uint32_t id, HWND window);
CVX_API int m32DetachDock(uint64_t client, uint32_t id);
CVX_API int m32DivertCvxScript(uint64_t client, int on, int flush);
CVX_API int m32DivertDock(uint64_t client, int on, int flush);
CVX_API int m32IsCvxScriptDiverting(uint64_t client);
CVX_API int m32IsDockDiverting(uint64_t client);
CVX_API uint16_t m32GetNumAttach(uint64_t client);
CVX_API int m32AttachMTC(uint64_t client, HWND window);
CVX_API int m32DetachMTC(uint64_t client);
CVX_API int m32AttachSync(uint64_t client, HWND window);
CVX_API int m32DetachSync(uint64_t client);

CVX_API int m32DivertSysExStart(uint64_t client, HWND window);
CVX_API void m32DivertSysExStop(uint64_t client);
CVX_API int m32DivertSysExSet(uint64_t client, uint16_t first, uint16_t second);

CVX_API int m32InputBlocker(uint64_t client, int on);
CVX_API void m32StartTimeStamp(uint64_t client);
CVX_API uint32_t m32GetTimeStamp(uint64_t client);

/* ---- Filter and data maps -------------------------------------------------------------- */

CVX_API void m32SendFilter(uint64_t client, CFilter* filter);
CVX_API int m32SendMap(uint64_t client, const SMapper& map);
CVX_API int m32SendPDMap(uint64_t client, int input, int output, const SMapper& map);
CVX_API void m32ClearPDMap(uint64_t client, int input, int output);
CVX_API int m32SendParms(uint64_t client, uint32_t first, uint32_t sysexSpacingMs);

#ifdef __cplusplus
}
#endif

#endif
