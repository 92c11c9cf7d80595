// The covers: one fullscreen xdg-shell toplevel per output, or one layer-shell wallpaper per
// output, or the one window, sized to the output's own pixels, and drawn whenever a frame is due
// and the compositor has shown the last one. A cover whose output is not shown gets no frame
// callback, and so is not drawn.
#include <fractional-scale-v1-client-protocol.h>
#include <viewporter-client-protocol.h>
#include <wayland-client.h>
#include <xdg-decoration-unstable-v1-client-protocol.h>
#include <xdg-shell-client-protocol.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "wayland/layer_shell.h"
#include "wayland/wayland_state.h"

namespace {

constexpr int kWindowWidth = 640, kWindowHeight = 480;  // the --window's first size

void HandleConfigure(void* data, xdg_surface* xdgSurface, std::uint32_t serial) {
  auto* cover = static_cast<Cover*>(data);
  xdg_surface_ack_configure(xdgSurface, serial);
  cover->configured = true;
  cover->shownFrame = -1;  // the next commit must carry a buffer of the size asked for
}

const xdg_surface_listener kXdgSurfaceListener = {HandleConfigure};

void HandleToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                             wl_array*) {
  auto* cover = static_cast<Cover*>(data);
  // 0 leaves the size to the client: the window keeps its own, a fullscreen surface the output's.
  if (width > 0 && height > 0) {
    cover->logicalWidth = width;
    cover->logicalHeight = height;
  }
}

void HandleToplevelClose(void* data, xdg_toplevel*) {
  static_cast<Cover*>(data)->closed = true;
}

// The later versions' events are not bound.
const xdg_toplevel_listener kToplevelListener = {HandleToplevelConfigure, HandleToplevelClose,
                                                 nullptr, nullptr};

// The wallpaper's size is the output's logical size, anchored as it is to all four edges.
void HandleLayerConfigure(void* data, zwlr_layer_surface_v1* layerSurface, std::uint32_t serial,
                          std::uint32_t width, std::uint32_t height) {
  auto* cover = static_cast<Cover*>(data);
  zwlr_layer_surface_v1_ack_configure(layerSurface, serial);
  if (width > 0 && height > 0 && width <= INT_MAX && height <= INT_MAX) {
    cover->logicalWidth = static_cast<int>(width);
    cover->logicalHeight = static_cast<int>(height);
  }
  cover->configured = true;
  cover->shownFrame = -1;
}

void HandleLayerClosed(void* data, zwlr_layer_surface_v1*) {
  static_cast<Cover*>(data)->closed = true;
}

const zwlr_layer_surface_v1_listener kLayerSurfaceListener = {HandleLayerConfigure,
                                                              HandleLayerClosed};

void HandlePreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
  auto* cover = static_cast<Cover*>(data);
  cover->preferredScale = scale <= INT_MAX ? static_cast<int>(scale) : 0;
  cover->shownFrame = -1;
}

const wp_fractional_scale_v1_listener kFractionalScaleListener = {HandlePreferredScale};

void HandleEnter(void* data, wl_surface*, wl_output* output) {
  auto* cover = static_cast<Cover*>(data);
  for (auto& known : cover->client->outputs)
    if (known->output == output) cover->entered.push_back(known.get());
  cover->shownFrame = -1;  // the window's scale may have changed
}

void HandleLeave(void* data, wl_surface*, wl_output* output) {
  auto* cover = static_cast<Cover*>(data);
  auto& entered = cover->entered;
  entered.erase(std::remove_if(entered.begin(), entered.end(),
                               [output](Output* known) { return known->output == output; }),
                entered.end());
  cover->shownFrame = -1;
}

const wl_surface_listener kSurfaceListener = {HandleEnter, HandleLeave};

void HandleFrameDone(void* data, wl_callback* callback, std::uint32_t) {
  auto* cover = static_cast<Cover*>(data);
  wl_callback_destroy(callback);
  cover->frameCallback = nullptr;
}

const wl_callback_listener kFrameListener = {HandleFrameDone};

// The output's logical size where the compositor left the size to us.
void LogicalSizeOfOutput(const Output& output, int& width, int& height) {
  const bool turned = (output.transform & 1) != 0;
  width = (turned ? output.modeHeight : output.modeWidth) / output.scale;
  height = (turned ? output.modeWidth : output.modeHeight) / output.scale;
}

CoverPixels PixelsOf(const Cover& cover) {
  int width = cover.logicalWidth, height = cover.logicalHeight;
  if (cover.output == nullptr) {
    // The window: sharp on the densest output it is on.
    int scale = 1;
    for (const Output* output : cover.entered) scale = std::max(scale, output->scale);
    return ChooseCoverPixels(width, height, 0, 0, 0, scale, cover.viewport != nullptr,
                             cover.preferredScale);
  }
  const Output& output = *cover.output;
  if (width <= 0 || height <= 0) LogicalSizeOfOutput(output, width, height);
  return ChooseCoverPixels(width, height, output.modeWidth, output.modeHeight, output.transform,
                           output.scale, cover.viewport != nullptr, cover.preferredScale);
}

// Buffers, place and sampling for the cover's present size; false when there is no memory.
bool FitBuffers(WaylandClient& client, Cover& cover, const CoverPixels& pixels) {
  if (cover.pool.width == pixels.width && cover.pool.height == pixels.height &&
      cover.pixels.bufferScale == pixels.bufferScale &&
      cover.pixels.viewportWidth == pixels.viewportWidth &&
      cover.pixels.viewportHeight == pixels.viewportHeight)
    return true;
  if (cover.pool.width != pixels.width || cover.pool.height != pixels.height) {
    DestroyShmPool(cover.pool);
    if (!CreateShmPool(client.shm, pixels.width, pixels.height, cover.pool)) return false;
    cover.place = PlacePicture(pixels.width, pixels.height, client.options.stretch);
    cover.sampling =
        MakeTileSampling(cover.place.width, cover.place.height, client.options.enlarged);
  }
  cover.pixels = pixels;
  if (client.compositorVersion >= 3) wl_surface_set_buffer_scale(cover.surface, pixels.bufferScale);
  if (cover.viewport != nullptr) {
    // -1 x -1 unsets the destination: the buffer's own size over its scale.
    const bool mapped = pixels.viewportWidth > 0;
    wp_viewport_set_destination(cover.viewport, mapped ? pixels.viewportWidth : -1,
                                mapped ? pixels.viewportHeight : -1);
  }
  cover.fullDamage = true;
  return true;
}

// Configured with a size (an output that has not told its mode yet is drawn once it does), the
// last picture shown, and a buffer to paint (or none made yet).
bool CanDraw(Cover& cover) {
  const CoverPixels pixels = PixelsOf(cover);
  return cover.configured && !cover.closed && cover.frameCallback == nullptr && pixels.width > 0 &&
         pixels.height > 0 && (cover.pool.pool == nullptr || FreeBuffer(cover.pool) != nullptr);
}

void Draw(WaylandClient& client, Cover& cover) {
  if (!FitBuffers(client, cover, PixelsOf(cover))) {
    client.failure = "no memory for a buffer of the output's size";
    return;
  }
  ShmBuffer* buffer = FreeBuffer(cover.pool);
  if (buffer == nullptr) return;  // all held by the compositor: drawn once it releases one
  client.painter->Paint(
      {buffer->pixels, cover.pool.stride, cover.place, cover.sampling, !buffer->painted});
  buffer->painted = true;
  buffer->busy = true;
  wl_surface_attach(cover.surface, buffer->buffer, 0, 0);
  // Only the picture changes from frame to frame; the black bars are the same in every buffer.
  const FramePlace damage =
      cover.fullDamage ? FramePlace{0, 0, cover.pool.width, cover.pool.height} : cover.place;
  if (client.compositorVersion >= 4)
    wl_surface_damage_buffer(cover.surface, damage.x, damage.y, damage.width, damage.height);
  else
    wl_surface_damage(cover.surface, 0, 0, INT32_MAX, INT32_MAX);
  cover.fullDamage = false;
  cover.frameCallback = wl_surface_frame(cover.surface);
  wl_callback_add_listener(cover.frameCallback, &kFrameListener, &cover);
  wl_surface_commit(cover.surface);
  cover.shownFrame = client.frame;
}

// The wallpaper: the whole output, on the layer above the desktop's own wallpaper and below every
// window; it reserves no room, takes no keyboard, and lets the pointer through to the desktop.
void MakeLayerSurface(WaylandClient& client, Cover& cover) {
  cover.layerSurface =
      zwlr_layer_shell_v1_get_layer_surface(client.layerShell, cover.surface, cover.output->output,
                                            ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM, "glimra");
  zwlr_layer_surface_v1_add_listener(cover.layerSurface, &kLayerSurfaceListener, &cover);
  zwlr_layer_surface_v1_set_size(cover.layerSurface, 0, 0);
  zwlr_layer_surface_v1_set_anchor(cover.layerSurface, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                           ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  // -1: under any panel's reserved room too, and moved by none.
  zwlr_layer_surface_v1_set_exclusive_zone(cover.layerSurface, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(
      cover.layerSurface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
  wl_region* nothing = wl_compositor_create_region(client.compositor);
  wl_surface_set_input_region(cover.surface, nothing);
  wl_region_destroy(nothing);
}

void MakeToplevel(WaylandClient& client, Cover& cover) {
  cover.xdgSurface = xdg_wm_base_get_xdg_surface(client.wmBase, cover.surface);
  xdg_surface_add_listener(cover.xdgSurface, &kXdgSurfaceListener, &cover);
  cover.toplevel = xdg_surface_get_toplevel(cover.xdgSurface);
  xdg_toplevel_add_listener(cover.toplevel, &kToplevelListener, &cover);
  xdg_toplevel_set_title(cover.toplevel, "Glimra");
  xdg_toplevel_set_app_id(cover.toplevel, "glimra");
  if (cover.output != nullptr) {
    xdg_toplevel_set_fullscreen(cover.toplevel, cover.output->output);
  } else {
    cover.logicalWidth = kWindowWidth;
    cover.logicalHeight = kWindowHeight;
    if (client.decorations != nullptr) {
      // The compositor's own title bar and borders, where it draws them.
      cover.decoration =
          zxdg_decoration_manager_v1_get_toplevel_decoration(client.decorations, cover.toplevel);
      zxdg_toplevel_decoration_v1_set_mode(cover.decoration,
                                           ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
    }
  }
}

}  // namespace

CoverPixels ChooseCoverPixels(int logicalWidth, int logicalHeight, int modeWidth, int modeHeight,
                              int transform, int scale, bool viewporter, int preferredScale) {
  if (viewporter && preferredScale > 0 && logicalWidth > 0 && logicalHeight > 0) {
    if (preferredScale % 120 == 0)
      return {logicalWidth * (preferredScale / 120), logicalHeight * (preferredScale / 120),
              preferredScale / 120, 0, 0};
    const auto times = [preferredScale](int logical) {
      return static_cast<int>((static_cast<long long>(logical) * preferredScale + 60) / 120);
    };
    return {times(logicalWidth), times(logicalHeight), 1, logicalWidth, logicalHeight};
  }
  scale = std::max(scale, 1);
  const bool turned = (transform & 1) != 0;  // 90 and 270 degrees, flipped or not
  const int pixelWidth = turned ? modeHeight : modeWidth;
  const int pixelHeight = turned ? modeWidth : modeHeight;
  const CoverPixels whole = {logicalWidth * scale, logicalHeight * scale, scale, 0, 0};
  if (!viewporter || pixelWidth <= 0 || pixelHeight <= 0 || logicalWidth <= 0 ||
      logicalHeight <= 0 || (pixelWidth == whole.width && pixelHeight == whole.height))
    return whole;
  // The mode covers the surface at one fractional scale only when both sides agree on it
  // (the compositor rounds the logical size to whole units).
  const double across = static_cast<double>(pixelWidth) / logicalWidth;
  const double down = static_cast<double>(pixelHeight) / logicalHeight;
  if (std::abs(across * logicalHeight - pixelHeight) > across + 0.5 ||
      std::abs(down * logicalWidth - pixelWidth) > down + 0.5)
    return whole;
  return {pixelWidth, pixelHeight, 1, logicalWidth, logicalHeight};
}

Cover* AddCover(WaylandClient& client, Output* output) {
  auto owned = std::make_unique<Cover>();
  Cover& cover = *owned;
  cover.client = &client;
  cover.output = output;
  cover.surface = wl_compositor_create_surface(client.compositor);
  wl_surface_add_listener(cover.surface, &kSurfaceListener, &cover);
  if (client.viewporter != nullptr) {
    cover.viewport = wp_viewporter_get_viewport(client.viewporter, cover.surface);
    if (client.fractionalScales != nullptr) {
      cover.fractionalScale = wp_fractional_scale_manager_v1_get_fractional_scale(
          client.fractionalScales, cover.surface);
      wp_fractional_scale_v1_add_listener(cover.fractionalScale, &kFractionalScaleListener, &cover);
    }
  }
  if (client.options.background && output != nullptr)
    MakeLayerSurface(client, cover);
  else
    MakeToplevel(client, cover);
  wl_surface_commit(cover.surface);  // the first commit carries no buffer: it asks for a configure
  client.covers.push_back(std::move(owned));
  return &cover;
}

void RemoveCover(WaylandClient& client, Cover* cover) {
  ForgetPointerSurface(client, cover->surface);
  if (cover->frameCallback != nullptr) wl_callback_destroy(cover->frameCallback);
  if (cover->decoration != nullptr) zxdg_toplevel_decoration_v1_destroy(cover->decoration);
  if (cover->fractionalScale != nullptr) wp_fractional_scale_v1_destroy(cover->fractionalScale);
  if (cover->viewport != nullptr) wp_viewport_destroy(cover->viewport);
  if (cover->layerSurface != nullptr) zwlr_layer_surface_v1_destroy(cover->layerSurface);
  if (cover->toplevel != nullptr) xdg_toplevel_destroy(cover->toplevel);
  if (cover->xdgSurface != nullptr) xdg_surface_destroy(cover->xdgSurface);
  wl_surface_destroy(cover->surface);
  DestroyShmPool(cover->pool);
  auto& covers = client.covers;
  covers.erase(std::remove_if(covers.begin(), covers.end(),
                              [cover](const auto& owned) { return owned.get() == cover; }),
               covers.end());
}

void DrawReadyCovers(WaylandClient& client) {
  const bool anyReady = std::any_of(client.covers.begin(), client.covers.end(),
                                    [](const auto& cover) { return CanDraw(*cover); });
  if (client.frameDue && anyReady) {
    client.painter->MakeFrame();
    ++client.frame;
    // Without a delay the next frame is due as soon as a cover has shown this one.
    client.frameDue = client.options.delayMicroseconds == 0;
  }
  if (client.frame == 0) return;
  for (auto& cover : client.covers)
    if (CanDraw(*cover) && cover->shownFrame != client.frame && client.failure.empty())
      Draw(client, *cover);
}
