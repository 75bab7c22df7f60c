/* The platform types and calls the engine's interface speaks in: window-message targets,
   MIDI device handles and buffer headers, result codes, the MIDI device calls and the
   multimedia timer calls. Record layouts and constants are fixed: applications, test
   programs and stored records rely on them. */
#ifndef CVX_PLATFORM_H
#define CVX_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define CVX_API __attribute__((visibility("default")))

/* Every exported function is noexcept in C++: no exception ever unwinds out of the library
   into a caller that may be C. */
#ifdef __cplusplus
#define CVX_NOEXCEPT noexcept
#else
#define CVX_NOEXCEPT
#endif

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef unsigned int UINT;
typedef uintptr_t DWORD_PTR;
typedef uintptr_t UINT_PTR;
typedef int BOOL;
typedef UINT MMRESULT;
typedef uint32_t MMVERSION;

/* Opaque handles. */
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HMIDIIN__* HMIDIIN;
typedef struct HMIDIOUT__* HMIDIOUT;
typedef HMIDIIN* LPHMIDIIN;
typedef HMIDIOUT* LPHMIDIOUT;

/* ---- Message targets ------------------------------------------------------------------ */

/* A target's post function runs on whatever thread posts (the engine's real-time threads
   included): it must not block or allocate. */
typedef void (*CvxPostFunction)(void* user, uint32_t msg, uintptr_t wParam, intptr_t lParam);

/* Makes a message target that hands every posted message to `post`. Returns 0 when the
   process already holds the maximum number of targets. */
CVX_API HWND cvxWindowCreate(CvxPostFunction post, void* user) CVX_NOEXCEPT;
/* After this returns, `post` is never called again for the target, and posts to it fail. */
CVX_API void cvxWindowDestroy(HWND window) CVX_NOEXCEPT;
/* Never blocks, safe from any thread. Returns 0 for a null or destroyed target, else 1. */
CVX_API int cvxPostMessage(HWND window, uint32_t msg, uintptr_t wParam,
                           intptr_t lParam) CVX_NOEXCEPT;

/* ---- Message targets for programs without a window system --------------------------- */

/* One message as it was posted. */
typedef struct {
    uint32_t msg;
    uintptr_t wParam;
    intptr_t lParam;
} CvxMessage;

/* An event target: a message target whose posts wait in a fixed queue and make a file
   descriptor (an eventfd) readable, so a program without a window system waits for the
   engine's notifications with poll, select or epoll:

       CvxEventTarget* target = cvxEventTargetCreate(0);
       uint64_t client = CreateClient(cvxEventTargetWindow(target), NULL, &filter);
       struct pollfd p = {cvxEventTargetFd(target), POLLIN, 0};
       while (poll(&p, 1, -1) > 0) {
           CvxMessage m;
           while (cvxEventTargetNext(target, &m)) {
               EVENT e;
               if (m.msg == WM_CVX_EVENTS) { while (GetEvent(client, &e, MON_MAIN)) ... }
           }
       }

   Posting (any thread, the engine's real-time threads included) never allocates, blocks
   or takes a lock: it claims a slot of the preallocated queue and, when the descriptor is
   not already readable, writes the eventfd. Notifications whose data waits in engine
   queues (WM_CVX_EVENTS, WM_CVX_SCRIPTINPUT, WM_CVX_DOCK_DATA, WM_CVX_AUTOMATION_DATA) are
   coalesced: while one of a kind waits in the queue, further posts of that kind add
   nothing, and the reader drains the engine queue once for all of them. Every other
   message (WM_CVX_SYSEXDATA with a buffer to give back, time code, patch changes) is
   queued one for one. A message that finds the queue full is dropped and counted.

   Threads: cvxEventTargetNext, cvxEventTargetFd and cvxEventTargetDestroy belong to one
   reading thread; cvxEventTargetDropped may be called from any thread. */
typedef struct CvxEventTarget CvxEventTarget;

/* Makes a target whose queue holds `capacity` messages (rounded up to a power of two;
   0 gives 1024, at most 65536). Returns null when the eventfd, the memory or a message
   target slot cannot be had. */
CVX_API CvxEventTarget* cvxEventTargetCreate(unsigned capacity) CVX_NOEXCEPT;
/* The message target to hand to CreateClient, AttachRawMonitor, AttachMTC, ... */
CVX_API HWND cvxEventTargetWindow(const CvxEventTarget* target) CVX_NOEXCEPT;
/* The descriptor to poll for POLLIN; it stays open until cvxEventTargetDestroy. */
CVX_API int cvxEventTargetFd(const CvxEventTarget* target) CVX_NOEXCEPT;
/* Takes the oldest waiting message into `message` and returns 1; returns 0 when none
   waits, and then the descriptor is readable again only after the next post. After poll
   reports the descriptor readable, call this until it returns 0. */
CVX_API int cvxEventTargetNext(CvxEventTarget* target, CvxMessage* message) CVX_NOEXCEPT;
/* How many posts found the queue full since the target was made. */
CVX_API uint64_t cvxEventTargetDropped(const CvxEventTarget* target) CVX_NOEXCEPT;
/* Destroys the window first (no post runs after that), then closes the descriptor and
   frees the queue. Messages still waiting are discarded. Null is ignored. */
CVX_API void cvxEventTargetDestroy(CvxEventTarget* target) CVX_NOEXCEPT;

/* ---- Results -------------------------------------------------------------------------- */

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_BADERRNUM 9
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define MMSYSERR_HANDLEBUSY 12
#define MMSYSERR_INVALIDALIAS 13
#define MMSYSERR_BADDB 14
#define MMSYSERR_KEYNOTFOUND 15
#define MMSYSERR_READERROR 16
#define MMSYSERR_WRITEERROR 17
#define MMSYSERR_DELETEERROR 18
#define MMSYSERR_VALNOTFOUND 19
#define MMSYSERR_NODRIVERCB 20
#define MMSYSERR_MOREDATA 21
#define MMSYSERR_LASTERROR 21

#define MIDIERR_BASE 64
#define MIDIERR_UNPREPARED (MIDIERR_BASE + 0)
#define MIDIERR_STILLPLAYING (MIDIERR_BASE + 1)
#define MIDIERR_NOMAP (MIDIERR_BASE + 2)
#define MIDIERR_NOTREADY (MIDIERR_BASE + 3)
#define MIDIERR_NODEVICE (MIDIERR_BASE + 4)
#define MIDIERR_INVALIDSETUP (MIDIERR_BASE + 5)
#define MIDIERR_BADOPENMODE (MIDIERR_BASE + 6)
#define MIDIERR_DONT_CONTINUE (MIDIERR_BASE + 7)
#define MIDIERR_LASTERROR (MIDIERR_BASE + 7)

#define MAXERRORLENGTH 256
#define MAXPNAMELEN 32

/* ---- MIDI devices --------------------------------------------------------------------- */

#define MIDI_MAPPER ((UINT)-1)

/* Callback message kinds. */
#define MIM_OPEN 0x3C1
#define MIM_CLOSE 0x3C2
#define MIM_DATA 0x3C3
#define MIM_LONGDATA 0x3C4
#define MIM_ERROR 0x3C5
#define MIM_LONGERROR 0x3C6
#define MOM_OPEN 0x3C7
#define MOM_CLOSE 0x3C8
#define MOM_DONE 0x3C9

/* Open flags. */
#define CALLBACK_TYPEMASK 0x00070000u
#define CALLBACK_NULL 0x00000000u
#define CALLBACK_FUNCTION 0x00030000u

/* Buffer header flags. */
#define MHDR_DONE 0x00000001u
#define MHDR_PREPARED 0x00000002u
#define MHDR_INQUEUE 0x00000004u

/* Device technologies. */
#define MOD_MIDIPORT 1
#define MOD_MAPPER 5

/* Byte-packed, as the platform defines it: 112 bytes. midiOutLongMsg sends dwBytesRecorded
   bytes when that is between 1 and dwBufferLength, else dwBufferLength bytes. lpNext and the
   reserved fields belong to the service while the header is queued. */
#pragma pack(push, 1)
typedef struct midihdr_tag {
    char* lpData;               /* the data block */
    DWORD dwBufferLength;       /* its length */
    DWORD dwBytesRecorded;      /* bytes filled (input) or to send (output) */
    DWORD_PTR dwUser;           /* free for the buffer's owner */
    DWORD dwFlags;              /* MHDR_* */
    struct midihdr_tag* lpNext; /* reserved for the service */
    DWORD_PTR reserved;         /* reserved for the service */
    DWORD dwOffset;             /* callback offset, unused */
    DWORD_PTR dwReserved[8];    /* reserved for the service */
} MIDIHDR, *LPMIDIHDR;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(MIDIHDR) == 112, "MIDIHDR is 112 bytes");
#endif

typedef struct {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    char szPname[MAXPNAMELEN];
    DWORD dwSupport;
} MIDIINCAPS, *LPMIDIINCAPS;

typedef struct {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    char szPname[MAXPNAMELEN];
    WORD wTechnology;
    WORD wVoices;
    WORD wNotes;
    WORD wChannelMask;
    DWORD dwSupport;
} MIDIOUTCAPS, *LPMIDIOUTCAPS;

/* Input callback: (handle, message kind, instance data, parameter 1, parameter 2). */
typedef void (*LPMIDICALLBACK)(HMIDIIN handle, UINT msg, DWORD_PTR instance, DWORD_PTR param1,
                               DWORD_PTR param2);

CVX_API UINT midiInGetNumDevs(void) CVX_NOEXCEPT;
CVX_API MMRESULT midiInGetDevCaps(UINT_PTR deviceId, LPMIDIINCAPS caps, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiInGetErrorText(MMRESULT error, char* text, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiInOpen(LPHMIDIIN handle, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance,
                            DWORD flags) CVX_NOEXCEPT;
CVX_API MMRESULT midiInClose(HMIDIIN handle) CVX_NOEXCEPT;
CVX_API MMRESULT midiInPrepareHeader(HMIDIIN handle, LPMIDIHDR header, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiInUnprepareHeader(HMIDIIN handle, LPMIDIHDR header, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiInAddBuffer(HMIDIIN handle, LPMIDIHDR header, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiInStart(HMIDIIN handle) CVX_NOEXCEPT;
CVX_API MMRESULT midiInStop(HMIDIIN handle) CVX_NOEXCEPT;
CVX_API MMRESULT midiInReset(HMIDIIN handle) CVX_NOEXCEPT;
CVX_API MMRESULT midiInGetID(HMIDIIN handle, UINT* deviceId) CVX_NOEXCEPT;
/* Deliveries the input lost before its callback could see them, since the handle was
   opened: in the backend's own buffer (a full capture ring, a sequencer overrun) or in the
   port's ring (bytes that did not fit). A delivery counts once however many bytes it held.
   Any thread; never blocks on MIDI. Returns MMSYSERR_NOERROR, MMSYSERR_INVALHANDLE (not an
   open handle; a vanished device's handle stays valid until it is closed) or
   MMSYSERR_INVALPARAM (null count). */
CVX_API MMRESULT cvxMidiInGetOverruns(HMIDIIN handle, uint64_t* count) CVX_NOEXCEPT;

CVX_API UINT midiOutGetNumDevs(void) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutGetDevCaps(UINT_PTR deviceId, LPMIDIOUTCAPS caps, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutGetErrorText(MMRESULT error, char* text, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutOpen(LPHMIDIOUT handle, UINT deviceId, DWORD_PTR callback,
                             DWORD_PTR instance, DWORD flags) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutClose(HMIDIOUT handle) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutPrepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutUnprepareHeader(HMIDIOUT handle, LPMIDIHDR header, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutShortMsg(HMIDIOUT handle, DWORD message) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutLongMsg(HMIDIOUT handle, LPMIDIHDR header, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutReset(HMIDIOUT handle) CVX_NOEXCEPT;
CVX_API MMRESULT midiOutGetID(HMIDIOUT handle, UINT* deviceId) CVX_NOEXCEPT;
/* Whether a short message sent on this open output is taken or dropped at once, never
   waiting for room, a device or another thread (the loopback, ALSA and JACK outputs); the
   "MIDI Mapper" alias answers for its device. FALSE for an invalid or closed handle, or a
   device that may wait. Any thread. */
CVX_API BOOL cvxMidiOutSendNeverBlocks(HMIDIOUT handle) CVX_NOEXCEPT;

/* ---- Multimedia timers ---------------------------------------------------------------- */

#define TIME_ONESHOT 0x0000u
#define TIME_PERIODIC 0x0001u
#define TIME_CALLBACK_FUNCTION 0x0000u
#define TIME_KILL_SYNCHRONOUS 0x0100u

#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97
#define TIMERR_STRUCT 129

typedef void (*LPTIMECALLBACK)(UINT timerId, UINT msg, DWORD_PTR user, DWORD_PTR dw1,
                               DWORD_PTR dw2);

typedef struct {
    UINT wPeriodMin;
    UINT wPeriodMax;
} TIMECAPS, *LPTIMECAPS;

/* Returns the timer's identifier, 0 when no timer could be made. */
CVX_API MMRESULT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                              UINT flags) CVX_NOEXCEPT;
CVX_API MMRESULT timeKillEvent(UINT timerId) CVX_NOEXCEPT;
CVX_API DWORD timeGetTime(void) CVX_NOEXCEPT;
CVX_API MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size) CVX_NOEXCEPT;
CVX_API MMRESULT timeBeginPeriod(UINT period) CVX_NOEXCEPT;
CVX_API MMRESULT timeEndPeriod(UINT period) CVX_NOEXCEPT;
CVX_API DWORD GetTickCount(void) CVX_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
