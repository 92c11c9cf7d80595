// A Wayland compositor of the smallest kind, served from a thread of the test process: it offers
// wl_compositor, wl_shm and one 640 x 480 wl_output, and no shell at all, which is what a desktop
// without xdg-shell or the layer shell looks like to a client that needs one of them.
#pragma once

#include <string>
#include <thread>

struct wl_display;

class SmallCompositor {
 public:
  // Listens on the socket `path`; `failure` says why it could not.
  explicit SmallCompositor(const std::string& path);
  ~SmallCompositor();
  SmallCompositor(const SmallCompositor&) = delete;
  SmallCompositor& operator=(const SmallCompositor&) = delete;

  std::string failure;

 private:
  wl_display* display_ = nullptr;
  std::thread thread_;
};
