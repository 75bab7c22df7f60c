#include "input/input_buffer_release.h"

#include "input/orphan_buffers.h"

namespace cvx::input {

void freeInputBuffer(HMIDIIN handle, core::SysExBuffer* buffer) {
    if ((buffer->header.dwFlags & MHDR_PREPARED) != 0) {
        midiInUnprepareHeader(handle, &buffer->header, sizeof(MIDIHDR));
    }
    core::SysExBuffer::destroy(buffer);
}

void releaseInputBuffers(const core::CvxClient& client, HMIDIIN handle,
                         core::SysExBuffer* buffers) {
    while (buffers != nullptr) {
        core::SysExBuffer* next = buffers->next;
        if (buffers->withApplication) {
            adoptOrphan(buffers, &client);
        } else {
            freeInputBuffer(handle, buffers);
        }
        buffers = next;
    }
}

} // namespace cvx::input
