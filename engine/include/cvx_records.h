/* Records that cross between the application and the engine, and the engine's notification
   message numbers. Layouts are fixed (little-endian, packed as stated): stored settings,
   map files and other programs rely on them byte for byte. */
#ifndef CVX_RECORDS_H
#define CVX_RECORDS_H

#include <stdint.h>

/* ---- EVENT: the unit of every queue ---------------------------------------------------- */

/* timestamp: milliseconds (low 32 bits used), or the ring slot index of a SysEx chunk event.
   message: status | data 1 << 8 | data 2 << 16 | origin mark << 24; for SysEx the block
   length << 8 | marker. port: input index 0-135 (135 = generated events, 255 = unknown
   input). outPort: output index + 1 for a record of something sent, 0 for input events. */
typedef struct {
    uint64_t timestamp;
    uint32_t message;
    uint8_t port;
    uint8_t outPort;
    uint8_t reserved[2];
} EVENT;

#ifdef __cplusplus
static_assert(sizeof(EVENT) == 16, "EVENT is 16 bytes");
#endif

/* Origin marks in byte 3 of EVENT::message. */
#define CVX_ORIGIN_DEVICE 0x00u
#define CVX_ORIGIN_PANEL 0xFFu      /* injected, type 0 */
#define CVX_ORIGIN_KEYBOARD 0xFDu   /* injected, type 1 */
#define CVX_ORIGIN_LUA 0xFCu        /* injected, type 2, and Lua events */
#define CVX_ORIGIN_AUTOMATION 0xF9u /* injected, type 3 */
#define CVX_ORIGIN_CHUNK 0xFBu      /* a SysEx chunk event */

/* The wake-up event's message, queued by a divert switch with flush. */
#define CVX_WAKEUP_MESSAGE 0x00FFFFFFu

/* The generated-event port ("Corvex Events"). */
#define CVX_GENERATED_PORT 135u
/* Port byte of an event whose input handle is not in the engine's table. */
#define CVX_UNKNOWN_PORT 255u

/* ---- MonID: which consumer queue to read ---------------------------------------------- */

typedef int32_t MonID;
enum {
    MON_RAW_INPUT = 1, /* every input event as received */
    MON_MAIN = 2,      /* the processed stream */
    MON_LUA = 3,       /* input diverted to the Lua host */
    MON_DOCK = 4,      /* SysEx received, as 256-byte chunks */
    MON_SCRIPT = 5     /* input after filter and map, before routing */
};
/* One more than the highest MonID: the size of arrays indexed by MonID. */
#define CVX_MON_COUNT 6u

/* ---- CFilter: a set bit filters the item out ------------------------------------------- */

typedef struct {
    uint32_t filterFlags;         /* channels, message kinds, options (bits below) */
    uint32_t systemFilter;        /* system messages (bits below) */
    uint8_t controllerFilter[16]; /* controller n filtered: bit (n & 7) of byte n / 8 */
} CFilter;

#ifdef __cplusplus
static_assert(sizeof(CFilter) == 24, "CFilter is 24 bytes");
#endif

/* filterFlags: bits 0-15 are channels 1-16. */
#define CVX_FILTER_NOTE_ON (1u << 16)
#define CVX_FILTER_NOTE_OFF (1u << 17) /* also Note On with velocity 0 */
#define CVX_FILTER_KEY_AFTERTOUCH (1u << 18)
#define CVX_FILTER_CONTROL_CHANGE (1u << 19) /* the controller bitmap decides */
#define CVX_FILTER_PROGRAM_CHANGE (1u << 20)
#define CVX_FILTER_CHANNEL_AFTERTOUCH (1u << 21)
#define CVX_FILTER_PITCH_BEND (1u << 22)
#define CVX_FILTER_SYSTEM_COMMON (1u << 24)   /* summary kept for the dialog */
#define CVX_FILTER_SYSTEM_REALTIME (1u << 25) /* summary kept for the dialog */
#define CVX_FILTER_DATA (1u << 27)            /* filter data as well as display */
#define CVX_FILTER_RAW_MONITOR (1u << 28)     /* apply to the raw input monitor too */
#define CVX_FILTER_NO_SYSEX_CHUNKS (1u << 29) /* no SysEx chunk events in monitor queues */

/* systemFilter bits. */
#define CVX_SYSFILTER_F1 (1u << 0)
#define CVX_SYSFILTER_F2 (1u << 1)
#define CVX_SYSFILTER_F3 (1u << 2)
#define CVX_SYSFILTER_F6 (1u << 3)
#define CVX_SYSFILTER_F8 (1u << 8)
#define CVX_SYSFILTER_FA (1u << 9)
#define CVX_SYSFILTER_FB (1u << 10)
#define CVX_SYSFILTER_FC (1u << 11)
#define CVX_SYSFILTER_FE (1u << 12)
#define CVX_SYSFILTER_FF (1u << 13)

/* ---- Data maps ------------------------------------------------------------------------- */

/* MapMessageType: the message kinds a map item matches and produces. */
enum {
    MAP_NOTE_OFF = 1,
    MAP_NOTE_ON = 2,
    MAP_KEY_AFT = 3,
    MAP_CTRL = 4,
    MAP_PROG_CHG = 5,
    MAP_CHAN_AFT = 6,
    MAP_PITCH_B = 7,
    MAP_NRPN = 8,
    MAP_SYSEX = 9,    /* target only */
    MAP_DISCARD = 10, /* target only */
    MAP_SPP = 11,
    MAP_START = 12,
    MAP_CONT = 13,
    MAP_STOP = 14,
    MAP_RPN = 15,
    MAP_ANY = 255 /* any type (source), the input's type (target) */
};
typedef uint8_t MapMessageType;

/* One rule of a data map. In source fields 0xFF / 0xFFFF match any value; in target fields
   they keep the input's value. */
typedef struct {
    uint8_t sourceChannel;
    uint8_t sourceMessage;
    uint16_t sourceV1Min;
    uint16_t sourceV1Max;
    uint16_t sourceV2Min;
    uint16_t sourceV2Max;
    uint8_t targetChannel;
    uint8_t targetMessage;
    uint16_t targetV1Min;
    uint16_t targetV1Max;
    uint16_t targetV2Min;
    uint16_t targetV2Max;
    uint16_t sysexOffset; /* target type 9: the entry's offset in the SysEx pool, 0 = none */
    uint16_t itemFlags;   /* MAPITEM_* below; bits 6-15 delay in ms */
} MapItem;

#ifdef __cplusplus
static_assert(sizeof(MapItem) == 24, "MapItem is 24 bytes");
#endif

#define MAPITEM_PULL_V1 0x0001u /* target V2 takes source V1 */
#define MAPITEM_PULL_V2 0x0002u /* target V1 takes source V2 */
#define MAPITEM_CLONE 0x0004u   /* pass the input on as well */
#define MAPITEM_DELAY_SHIFT 6

/* mapOptions bits. */
#define MAP_WAIT_FOR_FULL_NRPN 0x0001u
#define MAP_NRPN_DATA_INCR 0x0002u
#define MAP_SEND_FULL_NRPN 0x0004u
#define MAP_REVERSE_DATA_ENTRY 0x0010u

/* The SysEx pool: "SYX\0", then entries of a u16 byte count and that many bytes. */
#define MAP_SYSEX_POOL_SIZE 0xFFFFu
#define MAP_SYSEX_POOL_HEADER 4u
#define MAP_SYSEX_STRING_MAX 1022u

#pragma pack(push, 2)
/* A data map as handed to the engine. */
typedef struct {
    uint16_t mapOptions;
    int16_t mapIsOn; /* the global map is applied to input */
    int16_t mapKeys; /* also applied to type 1 (PC keyboard) injections */
    int16_t itemCount;
    MapItem* items;
    uint16_t sysexLength; /* used pool length incl. its header; 0 = no pool */
    uint8_t* sysexPool;
} SMapper;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(SMapper) == 26, "SMapper is 26 bytes");
#endif

/* ---- Routing and patch maps ------------------------------------------------------------ */

#define CVX_PORT_COUNT 136u

/* Route mask bits (CPortMap::inputMasks); bits 0-15 are channels 1-16. */
#define CVX_ROUTE_SYSEX 0x10000u
#define CVX_ROUTE_REALTIME 0x20000u      /* 0xF8-0xFF */
#define CVX_ROUTE_SYSTEM_COMMON 0x40000u /* 0xF1-0xF6 */

/* Which inputs feed one output, and what of each passes. */
typedef struct {
    uint32_t inputBits[5];    /* connected bitmap, bit 135 = the generated-event port */
    uint32_t inputMasks[136]; /* route mask per input index */
} CPortMap;

#ifdef __cplusplus
static_assert(sizeof(CPortMap) == 564, "CPortMap is 564 bytes");
#endif

/* PatchMapInfo::flags */
#define CVX_PATCHMAP_ON 0x0001u
#define CVX_PATCHMAP_PASS_ON 0x0002u /* process the program change 4 ms later as well */

typedef struct {
    uint16_t flags;
    uint16_t channelMask; /* bit n = channel n + 1 is patch-mapped */
    uint8_t entries[128]; /* per program number: non-zero = mapped */
} PatchMapInfo;

#ifdef __cplusplus
static_assert(sizeof(PatchMapInfo) == 132, "PatchMapInfo is 132 bytes");
#endif

/* ---- Notification messages posted by the engine ---------------------------------------- */

#define WM_CVX_EVENTS 0x8014u
#define WM_CVX_SCRIPTINPUT 0x8017u
#define WM_CVX_SYSEX_CAPTURED 0x8019u
#define WM_CVX_SYSEXDATA 0x801Au
#define WM_CVX_MTC_TIME 0x801Bu
#define WM_CVX_DOCK_DATA 0x801Cu
#define WM_CVX_TEMPO 0x801Du
#define WM_CVX_SONG_POSITION 0x801Eu
#define WM_CVX_PATCH_CHANGE 0x801Fu
#define WM_CVX_AUTOMATION_DATA 0x8021u

/* ---- Port status: per-port last activity ------------------------------------------------ */

/* What one output sent last, and what it sent since the last GetPortStatus. */
typedef struct {
    uint32_t lastTime;    /* timeGetTime of the last message sent */
    uint32_t statusBits;  /* 1 << channel per channel message, CVX_STATUS_* for the rest */
    uint16_t deviceIndex; /* the device the output record holds */
    uint16_t lastInput;   /* input index the last message came from (135 = generated) */
} COutputStatus;

/* Filled by GetPortStatus: per input index the time and status class of its last event
   (index 135: of the last injected or engine-sent event), per output index what it sent.
   The status class of an input is 1 << channel for a channel message, CVX_STATUS_* for the
   rest, CVX_STATUS_DATA_BYTE for a data byte without status; SysEx ORs CVX_STATUS_SYSEX in.
   Status classes and bits read 0 when nothing happened since the last call. */
typedef struct {
    uint32_t inputTimes[136];
    uint32_t inputClasses[136];
    COutputStatus outputs[136];
} CPortStatus;

#define CVX_STATUS_SYSTEM_COMMON 0x10000u
#define CVX_STATUS_REALTIME 0x20000u
#define CVX_STATUS_SYSEX 0x40000u
#define CVX_STATUS_DATA_BYTE 0x800000u

/* ---- Port counters: what was lost, per port and per queue ------------------------------ */

/* Filled by GetPortCounters. The caller sets cbStruct to sizeof(CPortCounters) as it knows
   the record; the engine fills at most that many bytes and sets cbStruct to the number it
   filled, so fields added later at the end are left alone by an older engine and ignored by
   an older caller. Counts only grow; reading does not clear them.

   inputOverruns: deliveries lost before the engine saw them (the backend's buffer was full,
   or the input port's own ring had no room), since the input was opened; after a close the
   count of that opening stays until the input is opened again. inputRejects: SysEx buffers
   the engine filled but could not hand to the application (the capture queue was full or
   the notice could not be posted), since the input was opened. outputFailures: messages and
   SysEx pieces the engine meant to send that did not go out (the send returned an error, or
   the output had no free SysEx buffer for a routed block), since the output was opened.
   queueDrops: per MonID (index 0 unused), events dropped because that queue of the client
   was full, since CreateClient. */
typedef struct {
    uint32_t cbStruct;
    uint32_t reserved; /* 0 */
    uint64_t inputOverruns[136];
    uint64_t inputRejects[136];
    uint64_t outputFailures[136];
    uint64_t queueDrops[CVX_MON_COUNT];
} CPortCounters;

/* The fixed start of CPortCounters: a cbStruct below this is refused. */
#define CVX_PORT_COUNTERS_MIN_SIZE 8u

#ifdef __cplusplus
static_assert(sizeof(COutputStatus) == 12, "COutputStatus is 12 bytes");
static_assert(sizeof(CPortStatus) == 2720, "CPortStatus is 2720 bytes");
static_assert(sizeof(CPortCounters) == 3320, "CPortCounters is 3320 bytes");
#endif

#endif
