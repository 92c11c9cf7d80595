// The small compositor's globals. Its objects answer no request but their destructors: a client
// that goes on to make surfaces is past what the tests look at.
#include "small_compositor.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <wayland-server.h>

#include <algorithm>
#include <cstring>

namespace {

int IgnoreRequest(const void*, void* target, std::uint32_t, const wl_message* message,
                  wl_argument*) {
  if (std::strcmp(message->name, "destroy") == 0 || std::strcmp(message->name, "release") == 0)
    wl_resource_destroy(static_cast<wl_resource*>(target));
  return 0;
}

wl_resource* MakeResource(wl_client* client, const wl_interface* interface, std::uint32_t version,
                          std::uint32_t id) {
  wl_resource* resource = wl_resource_create(
      client, interface, std::min<int>(static_cast<int>(version), interface->version), id);
  if (resource != nullptr)
    wl_resource_set_dispatcher(resource, IgnoreRequest, nullptr, nullptr, nullptr);
  return resource;
}

void BindCompositor(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
  MakeResource(client, &wl_compositor_interface, version, id);
}

void BindOutput(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
  wl_resource* output = MakeResource(client, &wl_output_interface, version, id);
  if (output == nullptr) return;
  wl_output_send_geometry(output, 0, 0, 320, 240, WL_OUTPUT_SUBPIXEL_UNKNOWN, "small", "small",
                          WL_OUTPUT_TRANSFORM_NORMAL);
  wl_output_send_mode(output, WL_OUTPUT_MODE_CURRENT | WL_OUTPUT_MODE_PREFERRED, 640, 480, 60000);
  if (wl_resource_get_version(output) >= WL_OUTPUT_SCALE_SINCE_VERSION)
    wl_output_send_scale(output, 1);
  if (wl_resource_get_version(output) >= WL_OUTPUT_DONE_SINCE_VERSION) wl_output_send_done(output);
}

// A listening socket at `path`, or -1.
int Listen(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return -1;
  path.copy(address.sun_path, path.size());
  unlink(path.c_str());
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
                  listen(fd, 8) != 0)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

SmallCompositor::SmallCompositor(const std::string& path) {
  display_ = wl_display_create();
  const int listening = display_ != nullptr ? Listen(path) : -1;
  if (listening < 0 || wl_display_add_socket_fd(display_, listening) != 0 ||
      wl_display_init_shm(display_) != 0 ||
      wl_global_create(display_, &wl_compositor_interface, 4, nullptr, BindCompositor) == nullptr ||
      wl_global_create(display_, &wl_output_interface, 3, nullptr, BindOutput) == nullptr) {
    failure = "cannot serve a display on " + path;
    return;
  }
  thread_ = std::thread([display = display_] { wl_display_run(display); });
}

SmallCompositor::~SmallCompositor() {
  if (thread_.joinable()) {
    wl_display_terminate(display_);
    thread_.join();
  }
  if (display_ != nullptr) wl_display_destroy(display_);
}
