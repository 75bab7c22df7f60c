// The SysEx input buffers: allocation, return by the application, captured data, freeing.
#include "core/client_ops.h"
#include "cvxcore.h"
#include "input/input_buffer_lists.h"
#include "input/input_buffer_release.h"
#include "input/input_index.h"
#include "input/open_input_registry.h"
#include "input/orphan_buffers.h"
#include "input/sysex_input_path.h"

#include <algorithm>
#include <cstring>

using namespace cvx::core;
using cvx::input::freeInputBuffer;
using cvx::input::requeueInputBuffer;

namespace {

// Copies from the first captured buffer; returns the bytes copied and whether it is used up.
uint32_t readCaptured(CvxClient& client, MIDIHDR& header, uint8_t* out, uint32_t wanted,
                      bool& usedUp) {
    uint32_t left =
        header.dwBytesRecorded - std::min(client.captureReadOffset, header.dwBytesRecorded);
    uint32_t count = std::min(left, wanted);
    std::memcpy(out, header.lpData + client.captureReadOffset, count);
    client.captureReadOffset += count;
    usedUp = client.captureReadOffset >= header.dwBytesRecorded;
    return count;
}

} // namespace

extern "C" {

int m32AllocSyxBufIn(HMIDIIN handle, uint64_t clientHandle, uint16_t size) noexcept {
    CvxClient* client = clientFromHandle(clientHandle);
    if (client == nullptr || handle == nullptr || size == 0) {
        return 0;
    }
    SysExBuffer* buffer = SysExBuffer::make(size);
    if (buffer == nullptr) {
        return 0;
    }
    if (midiInPrepareHeader(handle, &buffer->header, sizeof(MIDIHDR)) != MMSYSERR_NOERROR) {
        SysExBuffer::destroy(buffer);
        return 0;
    }
    EngineGuard guard(engineLock());
    int index = cvx::input::inputIndexOf(*client, handle);
    InputBufferList* list = cvx::input::ensureBufferList(
        client->inputs, handle, index < 0 ? kPortCount : static_cast<uint32_t>(index));
    if (list == nullptr || midiInAddBuffer(handle, &buffer->header, sizeof(MIDIHDR)) != 0) {
        freeInputBuffer(handle, buffer);
        return 0;
    }
    buffer->next = list->head;
    list->head = buffer;
    return 1;
}

void m32FreeSyxBufIn(HMIDIIN handle, uint64_t clientHandle) noexcept {
    CvxClient* client = clientFromHandle(clientHandle);
    if (client == nullptr || handle == nullptr) {
        return;
    }
    midiInStop(handle);
    midiInReset(handle);
    SysExBuffer* buffers = nullptr;
    {
        EngineGuard guard(engineLock());
        if (InputBufferList* list = cvx::input::findBufferList(client->inputs, handle)) {
            buffers = list->head;
            list->head = nullptr;
        }
    }
    cvx::input::releaseInputBuffers(*client, handle, buffers);
    midiInStart(handle);
}

uint16_t m32RetBuf(HMIDIIN handle, uint64_t headerAddress) noexcept {
    auto* header = reinterpret_cast<MIDIHDR*>(static_cast<uintptr_t>(headerAddress));
    CvxClient* client = cvx::ports::clientOfInput(handle);
    if (client == nullptr || header == nullptr) {
        if (header != nullptr) {
            cvx::input::freeIfOrphan(header);
        }
        return MMSYSERR_INVALHANDLE;
    }
    EngineGuard guard(engineLock());
    InputBufferList* list = cvx::input::findBufferList(client->inputs, handle);
    if (list == nullptr || !cvx::input::holdsBuffer(*list, header)) {
        return MMSYSERR_INVALPARAM;
    }
    return static_cast<uint16_t>(requeueInputBuffer(handle, *header));
}

uint32_t m32GetSysExData(uint64_t clientHandle, uint8_t* out, uint32_t length) noexcept {
    CvxClient* client = clientFromHandle(clientHandle);
    if (client == nullptr || out == nullptr) {
        return 0;
    }
    uint32_t copied = 0;
    while (copied < length) {
        MIDIHDR* header = nullptr;
        {
            EngineGuard guard(engineLock());
            const BufferQueue::Entry* head = client->capturedBuffers->front();
            header = head == nullptr ? nullptr : head->header;
        }
        if (header == nullptr) {
            break;
        }
        bool usedUp = false;
        copied += readCaptured(*client, *header, out + copied, length - copied, usedUp);
        if (!usedUp) {
            break;
        }
        {
            EngineGuard guard(engineLock());
            client->capturedBuffers->pop();
        }
        client->captureReadOffset = 0;
        auto input = reinterpret_cast<HMIDIIN>(header->dwUser);
        if (!cvx::input::freeIfOrphan(header)) {
            requeueInputBuffer(input, *header);
        }
    }
    return copied;
}

uint16_t m32StartMidiIn(HMIDIIN handle) noexcept {
    return static_cast<uint16_t>(midiInStart(handle));
}

} // extern "C"
