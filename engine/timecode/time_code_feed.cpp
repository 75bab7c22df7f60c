#include "timecode/time_code_feed.h"

#include "core/client.h"
#include "core/engine_lock.h"
#include "timecode/sync_tracker.h"
#include "timecode/time_code_tracker.h"

namespace cvx::timecode {

namespace {

constexpr uint8_t kQuarterFrame = 0xF1;

bool isSyncStatus(uint8_t status) {
    return status == 0xF2 || status == 0xF8 || status == 0xFA || status == 0xFB || status == 0xFC;
}

void postTime(core::CvxClient& client, uint32_t packed) {
    HWND window = client.windows.mtc.load();
    if (window != nullptr) {
        cvxPostMessage(window, WM_CVX_MTC_TIME, packed, 0);
    }
}

void postSync(core::CvxClient& client, const SyncReport& report) {
    HWND window = client.windows.sync.load();
    if (window == nullptr) {
        return;
    }
    if (report.tempoChanged) {
        cvxPostMessage(window, WM_CVX_TEMPO, 0, static_cast<intptr_t>(report.tempo));
    }
    if (report.positionChanged) {
        cvxPostMessage(window, WM_CVX_SONG_POSITION, report.position & 0xFFFFu,
                       static_cast<intptr_t>(report.position >> 16));
    }
}

void trackQuarterFrame(core::CvxClient& client, uint8_t data) {
    bool complete = false;
    uint32_t packed = 0;
    {
        core::EngineGuard guard(core::engineLock());
        TimeCodeTracker tracker(client.timeCode.received);
        complete = tracker.quarterFrame(data);
        packed = tracker.report();
    }
    if (complete) {
        postTime(client, packed);
    }
}

void trackSync(core::CvxClient& client, uint8_t status, uint8_t data1, uint8_t data2,
               uint32_t time) {
    SyncReport report;
    {
        core::EngineGuard guard(core::engineLock());
        report = SyncTracker(client.timeCode.sync).track(status, data1, data2, time);
    }
    postSync(client, report);
}

} // namespace

void trackShortMessage(core::CvxClient& client, const EVENT& event) {
    auto status = static_cast<uint8_t>(event.message);
    auto data1 = static_cast<uint8_t>(event.message >> 8);
    auto data2 = static_cast<uint8_t>(event.message >> 16);
    if (status == kQuarterFrame) {
        trackQuarterFrame(client, data1);
    } else if (isSyncStatus(status)) {
        trackSync(client, status, data1, data2, static_cast<uint32_t>(event.timestamp));
    }
}

void trackFullFrame(core::CvxClient& client, const uint8_t* data, uint32_t length) {
    bool fullFrame = false;
    uint32_t packed = 0;
    {
        core::EngineGuard guard(core::engineLock());
        TimeCodeTracker tracker(client.timeCode.received);
        fullFrame = tracker.fullFrame(data, length);
        packed = tracker.report();
    }
    if (fullFrame) {
        postTime(client, packed);
    }
}

} // namespace cvx::timecode
