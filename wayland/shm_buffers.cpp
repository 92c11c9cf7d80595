// The shared-memory buffers of a surface.
#include "wayland/shm_buffers.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <climits>

namespace {

void HandleRelease(void* data, wl_buffer*) {
  static_cast<ShmBuffer*>(data)->busy = false;
}

const wl_buffer_listener kBufferListener = {HandleRelease};

}  // namespace

bool CreateShmPool(wl_shm* shm, int width, int height, ShmPool& pool) {
  pool = ShmPool{};
  const long stride = static_cast<long>(width) * 4;
  const long bufferBytes = stride * height;
  if (width <= 0 || height <= 0 || bufferBytes > INT_MAX / kBuffersPerPool) return false;
  const int fd = memfd_create("glimra-wayland", MFD_CLOEXEC);
  if (fd < 0) return false;
  const long bytes = bufferBytes * kBuffersPerPool;
  // A new file reads as zeros: every buffer starts black, which is the colour of the bars.
  void* memory = ftruncate(fd, bytes) == 0
                     ? mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                     : MAP_FAILED;
  if (memory == MAP_FAILED) {
    close(fd);
    return false;
  }
  pool.pool = wl_shm_create_pool(shm, fd, static_cast<int>(bytes));
  close(fd);  // the compositor has its own descriptor now, and the mapping keeps ours alive
  pool.width = width;
  pool.height = height;
  pool.stride = static_cast<int>(stride);
  pool.memory = memory;
  pool.bytes = bytes;
  for (int i = 0; i < kBuffersPerPool; ++i) {
    ShmBuffer& buffer = pool.buffers[i];
    buffer.buffer = wl_shm_pool_create_buffer(pool.pool, static_cast<int>(i * bufferBytes), width,
                                              height, pool.stride, WL_SHM_FORMAT_XRGB8888);
    buffer.pixels = static_cast<std::uint8_t*>(memory) + i * bufferBytes;
    wl_buffer_add_listener(buffer.buffer, &kBufferListener, &buffer);
  }
  return true;
}

ShmBuffer* FreeBuffer(ShmPool& pool) {
  for (ShmBuffer& buffer : pool.buffers)
    if (buffer.buffer != nullptr && !buffer.busy) return &buffer;
  return nullptr;
}

void DestroyShmPool(ShmPool& pool) {
  for (ShmBuffer& buffer : pool.buffers)
    if (buffer.buffer != nullptr) wl_buffer_destroy(buffer.buffer);
  if (pool.pool != nullptr) wl_shm_pool_destroy(pool.pool);
  if (pool.memory != nullptr) munmap(pool.memory, pool.bytes);
  pool = ShmPool{};
}
