// The live clients and their handles. A handle encodes a slot of a fixed table and that
// slot's generation, so a handle of a destroyed client, of another process's client or any
// other value is recognised as no client without touching freed memory: every export given
// such a handle fails the way it does for handle 0.
//
// Threads: register and unregister on the application's thread (CreateClient and
// DestroyClient); lookups from any thread, without a lock.
#pragma once

#include <cstdint>

namespace cvx::core {

struct CvxClient;

inline constexpr uint32_t kMaxClients = 256;

// Enters a new client; returns its handle, or 0 when kMaxClients clients are live.
uint64_t registerClient(CvxClient* client);

// Removes the client of that handle: lookups of the handle fail from now on.
void unregisterClient(uint64_t handle);

// The live client a handle stands for; nullptr for 0 and any handle that is not one.
CvxClient* clientFromHandle(uint64_t handle);

} // namespace cvx::core
