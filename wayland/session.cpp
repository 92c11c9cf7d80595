// The connection and the run's loop: the compositor's globals (outputs and seats may come and go
// at any time), then one poll over the connection, the frame timer and the stop signals until
// input, a signal or a lost connection ends the run.
#include "wayland/session.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <fractional-scale-v1-client-protocol.h>
#include <unistd.h>
#include <viewporter-client-protocol.h>
#include <wayland-client.h>
#include <xdg-decoration-unstable-v1-client-protocol.h>
#include <xdg-shell-client-protocol.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wayland/layer_shell.h"
#include "wayland/wayland_state.h"

namespace {

// The versions whose events the listeners handle.
constexpr std::uint32_t kCompositorVersion = 4, kOutputVersion = 3, kSeatVersion = 3;
constexpr std::uint32_t kLayerShellVersion = 3;  // its destroy request

void* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
           std::uint32_t offered, std::uint32_t wanted) {
  return wl_registry_bind(registry, name, interface, std::min(offered, wanted));
}

void OutputGeometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, const char*, const char*, std::int32_t transform) {
  static_cast<Output*>(data)->transform = transform;
}

void OutputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                std::int32_t height, std::int32_t) {
  auto* output = static_cast<Output*>(data);
  if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
  output->modeWidth = width;
  output->modeHeight = height;
}

// A described output gets its cover (where the compositor offers the shell it needs: without it
// the run ends with a line saying so); a change of mode or scale redraws the covers on it.
void OutputDone(void* data, wl_output*) {
  auto* output = static_cast<Output*>(data);
  WaylandClient& client = *output->client;
  const bool shell =
      client.options.background ? client.layerShell != nullptr : client.wmBase != nullptr;
  if (!output->described && !client.options.window && shell) AddCover(client, output);
  output->described = true;
  for (auto& cover : client.covers)
    if (cover->output == output) cover->shownFrame = -1;
}

void OutputScale(void* data, wl_output*, std::int32_t scale) {
  static_cast<Output*>(data)->scale = std::max(scale, 1);
}

// Version 4's name and description are not bound.
const wl_output_listener kOutputListener = {OutputGeometry, OutputMode, OutputDone,
                                            OutputScale,    nullptr,    nullptr};

void Ping(void*, xdg_wm_base* wmBase, std::uint32_t serial) {
  xdg_wm_base_pong(wmBase, serial);
}

const xdg_wm_base_listener kWmBaseListener = {Ping};

void AddOutput(WaylandClient& client, std::uint32_t name, std::uint32_t version) {
  auto output = std::make_unique<Output>();
  output->client = &client;
  output->name = name;
  output->output = static_cast<wl_output*>(
      Bind(client.registry, name, &wl_output_interface, version, kOutputVersion));
  wl_output_add_listener(output->output, &kOutputListener, output.get());
  client.outputs.push_back(std::move(output));
}

// An output gone: its covers go with it, and the window forgets it.
void RemoveOutput(WaylandClient& client, Output* output) {
  for (std::size_t i = client.covers.size(); i-- > 0;) {
    Cover* cover = client.covers[i].get();
    if (cover->output == output) RemoveCover(client, cover);
  }
  for (auto& cover : client.covers) {
    auto& entered = cover->entered;
    entered.erase(std::remove(entered.begin(), entered.end(), output), entered.end());
  }
  if (wl_output_get_version(output->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
    wl_output_release(output->output);
  else
    wl_output_destroy(output->output);
  auto& outputs = client.outputs;
  outputs.erase(std::remove_if(outputs.begin(), outputs.end(),
                               [output](const auto& owned) { return owned.get() == output; }),
                outputs.end());
}

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
  auto& client = *static_cast<WaylandClient*>(data);
  const std::string kind = interface;
  if (kind == wl_compositor_interface.name) {
    client.compositorVersion = static_cast<int>(std::min(version, kCompositorVersion));
    client.compositor = static_cast<wl_compositor*>(
        Bind(registry, name, &wl_compositor_interface, version, kCompositorVersion));
  } else if (kind == wl_shm_interface.name) {
    client.shm = static_cast<wl_shm*>(Bind(registry, name, &wl_shm_interface, version, 1));
  } else if (kind == xdg_wm_base_interface.name) {
    client.wmBase =
        static_cast<xdg_wm_base*>(Bind(registry, name, &xdg_wm_base_interface, version, 1));
    xdg_wm_base_add_listener(client.wmBase, &kWmBaseListener, nullptr);
  } else if (kind == wp_viewporter_interface.name) {
    client.viewporter =
        static_cast<wp_viewporter*>(Bind(registry, name, &wp_viewporter_interface, version, 1));
  } else if (kind == zxdg_decoration_manager_v1_interface.name && client.options.window) {
    client.decorations = static_cast<zxdg_decoration_manager_v1*>(
        Bind(registry, name, &zxdg_decoration_manager_v1_interface, version, 1));
  } else if (kind == wp_fractional_scale_manager_v1_interface.name) {
    client.fractionalScales = static_cast<wp_fractional_scale_manager_v1*>(
        Bind(registry, name, &wp_fractional_scale_manager_v1_interface, version, 1));
  } else if (kind == zwlr_layer_shell_v1_interface.name && client.options.background) {
    client.layerShell = static_cast<zwlr_layer_shell_v1*>(
        Bind(registry, name, &zwlr_layer_shell_v1_interface, version, kLayerShellVersion));
  } else if (kind == wl_output_interface.name) {
    AddOutput(client, name, version);
  } else if (kind == wl_seat_interface.name && !client.options.background) {
    // A wallpaper takes no input: its seats are not even looked at.
    AddSeat(client,
            static_cast<wl_seat*>(Bind(registry, name, &wl_seat_interface, version, kSeatVersion)),
            name);
  }
}

void GlobalRemove(void* data, wl_registry*, std::uint32_t name) {
  auto& client = *static_cast<WaylandClient*>(data);
  for (auto& output : client.outputs)
    if (output->name == name) return RemoveOutput(client, output.get());
  for (auto& seat : client.seats)
    if (seat->name == name) return RemoveSeat(client, seat.get());
}

const wl_registry_listener kRegistryListener = {Global, GlobalRemove};

// libwayland's own complaints (no runtime folder, a protocol error) go into the one line that the
// saver prints instead of lines of their own.
std::string& LibraryMessage() {
  static std::string message;
  return message;
}

void KeepLibraryMessage(const char* format, va_list arguments) {
  char text[300];
  std::vsnprintf(text, sizeof text, format, arguments);
  std::string message = text;
  while (!message.empty() && (message.back() == '\n' || message.back() == '.')) message.pop_back();
  if (message.rfind("error: ", 0) == 0) message.erase(0, 7);
  LibraryMessage() = message;
}

// The reason in brackets: libwayland's words where it said any, else the system's.
std::string Reason(int error) {
  // libwayland refuses a WAYLAND_SOCKET that is no number without setting errno: "Success" would
  // read as a contradiction.
  if (LibraryMessage().empty() && error == 0) return " (no reason given)";
  return " (" + (LibraryMessage().empty() ? std::string(std::strerror(error)) : LibraryMessage()) +
         ")";
}

std::string ConnectionError(wl_display* display) {
  const int error = wl_display_get_error(display);
  if (error == EPROTO && LibraryMessage().empty()) LibraryMessage() = "a protocol error";
  return "the connection to the compositor failed" + Reason(error);
}

// Closed covers are dropped; the run ends when the window, or the last cover, was closed. A
// compositor closes a wallpaper also when its output goes away, and may tell that before the
// output's removal: a round trip first lets the removal come, which drops the cover with the
// output, so that only the compositor's own end of the surfaces ends the run.
void DropClosedCovers(WaylandClient& client) {
  const auto closed = [](const auto& cover) { return cover->closed; };
  if (client.options.background &&
      std::any_of(client.covers.begin(), client.covers.end(), closed) &&
      wl_display_roundtrip(client.display) < 0) {
    client.failure = ConnectionError(client.display);
    return;
  }
  bool dropped = false;
  for (std::size_t i = client.covers.size(); i-- > 0;) {
    if (!client.covers[i]->closed) continue;
    RemoveCover(client, client.covers[i].get());
    dropped = true;
  }
  if (dropped && client.covers.empty()) client.ended = true;
}

// One wait for the connection, the timer or a signal, and what came. False when the run ends.
bool WaitAndDispatch(WaylandClient& client, int timer, int signals, int& stopSignal) {
  wl_display* display = client.display;
  while (wl_display_prepare_read(display) != 0)
    if (wl_display_dispatch_pending(display) < 0) {
      client.failure = ConnectionError(display);
      return false;
    }
  // A full socket is written once it drains; anything else is a lost connection.
  short displayEvents = POLLIN;
  if (wl_display_flush(display) < 0) {
    if (errno != EAGAIN) {
      wl_display_cancel_read(display);
      client.failure = ConnectionError(display);
      return false;
    }
    displayEvents |= POLLOUT;
  }
  pollfd fds[3] = {
      {wl_display_get_fd(display), displayEvents, 0}, {timer, POLLIN, 0}, {signals, POLLIN, 0}};
  if (poll(fds, 3, -1) < 0) {
    wl_display_cancel_read(display);
    return errno == EINTR;
  }
  if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
    if (wl_display_read_events(display) < 0) {
      client.failure = ConnectionError(display);
      return false;
    }
  } else {
    wl_display_cancel_read(display);
  }
  if (wl_display_dispatch_pending(display) < 0) {
    client.failure = ConnectionError(display);
    return false;
  }
  std::uint64_t expirations = 0;
  if ((fds[1].revents & POLLIN) && read(timer, &expirations, sizeof expirations) > 0)
    client.frameDue = true;  // ticks missed while drawing are not made up for
  signalfd_siginfo info{};
  if ((fds[2].revents & POLLIN) && read(signals, &info, sizeof info) == sizeof info) {
    stopSignal = static_cast<int>(info.ssi_signo);
    return false;
  }
  return true;
}

// The frame timer: one tick a delay, from now; none without a delay.
int MakeTimer(long delayMicroseconds) {
  const int timer = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  if (timer < 0 || delayMicroseconds <= 0) return timer;
  itimerspec period{};
  period.it_interval.tv_sec = delayMicroseconds / 1000000;
  period.it_interval.tv_nsec = (delayMicroseconds % 1000000) * 1000;
  period.it_value = period.it_interval;
  timerfd_settime(timer, 0, &period, nullptr);
  return timer;
}

// The globals the saver cannot do without; an empty string when they are all there.
std::string MissingGlobal(const WaylandClient& client) {
  if (client.compositor == nullptr) return "the compositor offers no wl_compositor";
  if (client.shm == nullptr) return "the compositor offers no shared memory (wl_shm)";
  if (client.options.background) {
    if (client.layerShell == nullptr)
      return "the compositor offers no layer shell (zwlr_layer_shell_v1), which --background needs";
  } else if (client.wmBase == nullptr) {
    return "the compositor offers no xdg-shell (xdg_wm_base)";
  }
  return "";
}

void ReleaseEverything(WaylandClient& client) {
  while (!client.covers.empty()) RemoveCover(client, client.covers.back().get());
  while (!client.outputs.empty()) RemoveOutput(client, client.outputs.back().get());
  while (!client.seats.empty()) RemoveSeat(client, client.seats.back().get());
  if (client.decorations != nullptr) zxdg_decoration_manager_v1_destroy(client.decorations);
  if (client.layerShell != nullptr) {
    if (zwlr_layer_shell_v1_get_version(client.layerShell) >=
        ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION)
      zwlr_layer_shell_v1_destroy(client.layerShell);
    else
      wl_proxy_destroy(reinterpret_cast<wl_proxy*>(client.layerShell));
  }
  if (client.fractionalScales != nullptr)
    wp_fractional_scale_manager_v1_destroy(client.fractionalScales);
  if (client.viewporter != nullptr) wp_viewporter_destroy(client.viewporter);
  if (client.wmBase != nullptr) xdg_wm_base_destroy(client.wmBase);
  if (client.shm != nullptr) wl_shm_destroy(client.shm);
  if (client.compositor != nullptr) wl_compositor_destroy(client.compositor);
  if (client.registry != nullptr) wl_registry_destroy(client.registry);
  xkb_context_unref(client.xkb);
  wl_display_flush(client.display);
  wl_display_disconnect(client.display);
}

}  // namespace

SessionOutcome RunWaylandSession(const SessionOptions& options, Painter& painter) {
  SessionOutcome outcome;
  WaylandClient client;
  client.options = options;
  client.painter = &painter;
  wl_log_set_handler_client(KeepLibraryMessage);
  // libwayland takes a connection handed over in WAYLAND_SOCKET (a locker's plugin) before it
  // looks for the display's socket.
  client.display = wl_display_connect(nullptr);
  if (client.display == nullptr) {
    const int error = errno;
    const char* name = std::getenv("WAYLAND_DISPLAY");
    outcome.exitCode = 1;
    outcome.error = std::getenv("WAYLAND_SOCKET") != nullptr
                        ? "cannot use the connection handed over in WAYLAND_SOCKET" + Reason(error)
                        : std::string("cannot connect to the Wayland display '") +
                              (name ? name : "wayland-0") + "'" + Reason(error);
    return outcome;
  }
  // The stop signals arrive through the loop, so that the end is the same as any other.
  sigset_t stops;
  sigemptyset(&stops);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&stops, signal);
  sigprocmask(SIG_BLOCK, &stops, nullptr);
  const int signals = signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
  const int timer = MakeTimer(options.delayMicroseconds);

  client.registry = wl_display_get_registry(client.display);
  wl_registry_add_listener(client.registry, &kRegistryListener, &client);
  // The globals, then their first events (each output's description, each seat's devices).
  if (wl_display_roundtrip(client.display) < 0 || wl_display_roundtrip(client.display) < 0)
    client.failure = ConnectionError(client.display);
  else
    client.failure = MissingGlobal(client);
  if (client.failure.empty() && options.window) AddCover(client, nullptr);

  int stopSignal = 0;
  while (client.failure.empty() && !client.ended) {
    DropClosedCovers(client);
    if (client.ended) break;
    DrawReadyCovers(client);
    if (!client.failure.empty() || !WaitAndDispatch(client, timer, signals, stopSignal)) break;
  }
  ReleaseEverything(client);
  close(timer);
  close(signals);
  outcome.signal = stopSignal;
  if (!client.failure.empty()) {
    outcome.exitCode = 1;
    outcome.error = client.failure;
  }
  return outcome;
}
