// The pictures handed to the compositor: a few buffers of one size in one shared-memory file
// (memfd: it has no name, so nothing is left in /dev/shm or the runtime folder however the run
// ends). A buffer is written only while the compositor does not hold it.
#pragma once

#include <cstdint>

struct wl_buffer;
struct wl_shm;
struct wl_shm_pool;

constexpr int kBuffersPerPool = 2;

struct ShmBuffer {
  wl_buffer* buffer = nullptr;
  std::uint8_t* pixels = nullptr;  // XRGB8888, rows `stride` bytes apart
  bool busy = false;               // attached and not yet released by the compositor
  bool painted = false;            // written at least once since it was made
};

struct ShmPool {
  int width = 0, height = 0, stride = 0;
  void* memory = nullptr;
  long bytes = 0;
  wl_shm_pool* pool = nullptr;
  ShmBuffer buffers[kBuffersPerPool];
};

// Makes the pool's buffers for width x height pixels, all black. False when there is no
// memory for them (the pool stays empty).
bool CreateShmPool(wl_shm* shm, int width, int height, ShmPool& pool);
// A buffer the compositor does not hold, or nullptr while it holds them all.
ShmBuffer* FreeBuffer(ShmPool& pool);
// Destroys the buffers and unmaps the memory; the compositor keeps what it still shows.
void DestroyShmPool(ShmPool& pool);
