// What the Wayland saver knows of its connection: the compositor's globals, the outputs, a cover
// (a surface showing the picture: fullscreen, a wallpaper layer, or the one window) for each
// output, and the seats whose input ends the run. The listeners of covers.cpp, seats.cpp and
// session.cpp share it; nothing of it is process-wide.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/pixel_lookup.h"
#include "wayland/session.h"
#include "wayland/shm_buffers.h"

struct wl_callback;
struct wl_compositor;
struct wl_display;
struct wl_keyboard;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct wl_touch;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct wp_viewporter;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct zxdg_decoration_manager_v1;
struct zxdg_toplevel_decoration_v1;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct WaylandClient;

struct Output {
  WaylandClient* client = nullptr;
  std::uint32_t name = 0;  // the registry's
  wl_output* output = nullptr;
  int scale = 1;
  int transform = 0;                  // wl_output_transform
  int modeWidth = 0, modeHeight = 0;  // the current mode, in the output's pixels
  bool described = false;             // its first `done` has come
};

struct Cover {
  WaylandClient* client = nullptr;
  Output* output = nullptr;  // fullscreen or the wallpaper on it; nullptr for the --window
  wl_surface* surface = nullptr;
  xdg_surface* xdgSurface = nullptr;  // these two for a fullscreen surface or the window,
  xdg_toplevel* toplevel = nullptr;
  zwlr_layer_surface_v1* layerSurface = nullptr;  // this one for the --background
  wp_viewport* viewport = nullptr;
  wp_fractional_scale_v1* fractionalScale = nullptr;
  int preferredScale = 0;  // the compositor's scale for it in 120ths; 0: none told
  zxdg_toplevel_decoration_v1* decoration = nullptr;
  wl_callback* frameCallback = nullptr;     // the compositor has not yet shown the last picture
  std::vector<Output*> entered;             // outputs the surface is on (the window's scale)
  int logicalWidth = 0, logicalHeight = 0;  // the size the compositor asked for
  bool configured = false;
  bool closed = false;     // the compositor asked to close it
  CoverPixels pixels{};    // the buffers' size and how they map onto the surface
  bool fullDamage = true;  // the next commit replaces everything (new size or buffer)
  ShmPool pool;
  FramePlace place{};
  TileSampling sampling;
  long shownFrame = -1;  // the frame number last committed
};

struct Seat {
  WaylandClient* client = nullptr;
  std::uint32_t name = 0;
  wl_seat* seat = nullptr;
  wl_pointer* pointer = nullptr;
  wl_keyboard* keyboard = nullptr;
  wl_touch* touch = nullptr;
  xkb_keymap* keymap = nullptr;
  xkb_state* keyState = nullptr;
};

struct WaylandClient {
  SessionOptions options;
  Painter* painter = nullptr;
  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_compositor* compositor = nullptr;
  int compositorVersion = 0;
  wl_shm* shm = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wp_viewporter* viewporter = nullptr;
  zxdg_decoration_manager_v1* decorations = nullptr;
  zwlr_layer_shell_v1* layerShell = nullptr;                   // bound for the --background only
  wp_fractional_scale_manager_v1* fractionalScales = nullptr;  // used with a viewporter
  xkb_context* xkb = nullptr;
  std::vector<std::unique_ptr<Output>> outputs;
  std::vector<std::unique_ptr<Cover>> covers;
  std::vector<std::unique_ptr<Seat>> seats;
  bool frameDue = true;      // the pace asks for a new frame; made when a cover can show it
  long frame = 0;            // frames made so far
  bool coverClosed = false;  // the compositor has closed a cover this run
  // The pointer, for the moves rule: the surface it is over, where it was last seen, and new
  // places in a row.
  wl_surface* pointerSurface = nullptr;
  wl_surface* pointerLastSurface = nullptr;
  std::int32_t pointerX = 0, pointerY = 0;  // wl_fixed_t
  bool pointerKnown = false;
  int pointerMoves = 0;
  bool ended = false;   // input or a close ended the run
  std::string failure;  // a one-line reason the run cannot go on
};

// covers.cpp: a cover for an output (fullscreen or wallpaper) or the window, its destruction, and
// the frame.
Cover* AddCover(WaylandClient& client, Output* output);
void RemoveCover(WaylandClient& client, Cover* cover);
// Draws the current frame on every cover that can show it now (configured, the last picture
// shown, a free buffer), making the frame first if one is due.
void DrawReadyCovers(WaylandClient& client);

// seats.cpp: a seat's devices and their input.
void AddSeat(WaylandClient& client, wl_seat* seat, std::uint32_t name);
void RemoveSeat(WaylandClient& client, Seat* seat);
// The pointer rule: a surface of ours left or destroyed forgets it as the pointer's place.
void ForgetPointerSurface(WaylandClient& client, wl_surface* surface);
