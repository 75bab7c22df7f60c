#include "input/input_buffer_lists.h"

namespace cvx::input {

using core::InputBufferList;
using core::InputPortTable;

InputBufferList* findBufferList(InputPortTable& table, HMIDIIN handle) {
    for (uint32_t i = 0; i < table.bufferListCount; ++i) {
        if (table.bufferLists[i].handle == handle) {
            return &table.bufferLists[i];
        }
    }
    return nullptr;
}

InputBufferList* ensureBufferList(InputPortTable& table, HMIDIIN handle, uint32_t index) {
    if (InputBufferList* list = findBufferList(table, handle)) {
        return list;
    }
    if (table.bufferListCount == core::kPortCount) {
        return nullptr;
    }
    InputBufferList& list = table.bufferLists[table.bufferListCount++];
    list = InputBufferList{index, handle, nullptr};
    return &list;
}

core::SysExBuffer* detachBufferList(InputPortTable& table, HMIDIIN handle) {
    for (uint32_t i = 0; i < table.bufferListCount; ++i) {
        if (table.bufferLists[i].handle == handle) {
            core::SysExBuffer* buffers = table.bufferLists[i].head;
            for (uint32_t j = i + 1; j < table.bufferListCount; ++j) {
                table.bufferLists[j - 1] = table.bufferLists[j];
            }
            table.bufferLists[--table.bufferListCount] = InputBufferList{};
            return buffers;
        }
    }
    return nullptr;
}

bool holdsBuffer(const InputBufferList& list, const MIDIHDR* header) {
    for (core::SysExBuffer* b = list.head; b != nullptr; b = b->next) {
        if (&b->header == header) {
            return true;
        }
    }
    return false;
}

} // namespace cvx::input
