// The DirectDraw back-end, with the first-version interfaces that DirectDrawCreate and the creating
// calls return. Set-up order: object, cooperative level, display mode, primary surface with its
// back buffer, offscreen surface. Release order: offscreen, back buffer, primary, palette, display
// mode, object.
#include "display/ddraw_backend.h"

#include "display/display_resources.h"
#include "host/saver_state.h"

namespace {

DDSURFACEDESC PrimaryDescription() {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof(DDSURFACEDESC);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  return desc;
}

// No pixel format: the surface takes the display's, 8-bit indexed after the mode set.
DDSURFACEDESC OffscreenDescription() {
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof(DDSURFACEDESC);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwHeight = kDisplayHeight;
  desc.dwWidth = kDisplayWidth;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  return desc;
}

// A failed creating call leaves no object to release, whatever it wrote into the pointer.
template <typename Object>
bool Created(HRESULT result, Object*& object) {
  if (result == DD_OK) return true;
  object = nullptr;
  return false;
}

bool CreateDirectDrawObjects(HWND window) {
  DisplayResources& d = displayResources;
  if (!Created(DirectDrawCreate(nullptr, &d.directDraw, nullptr), d.directDraw)) return false;
  if (d.directDraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK)
    return false;
  if (d.directDraw->SetDisplayMode(kDisplayWidth, kDisplayHeight, kDisplayBitsPerPixel) != DD_OK)
    return false;
  DDSURFACEDESC primary = PrimaryDescription();
  if (!Created(d.directDraw->CreateSurface(&primary, &d.primarySurface, nullptr), d.primarySurface))
    return false;
  DDSCAPS backBufferCaps = {DDSCAPS_BACKBUFFER};
  if (!Created(d.primarySurface->GetAttachedSurface(&backBufferCaps, &d.backBuffer), d.backBuffer))
    return false;
  DDSURFACEDESC offscreen = OffscreenDescription();
  return Created(d.directDraw->CreateSurface(&offscreen, &d.offscreenSurface, nullptr),
                 d.offscreenSurface);
}

}  // namespace

bool SetUpDirectDraw(HWND window) {
  if (CreateDirectDrawObjects(window)) return true;
  // What the steps had made goes, and the display mode with it, in the usual release order.
  ReleaseDirectDraw();
  return false;
}

void ReleaseDirectDraw() {
  DisplayResources& d = displayResources;
  if (currentMode != ModeDirectDraw || d.directDraw == nullptr) return;
  if (d.offscreenSurface != nullptr) d.offscreenSurface->Release();
  if (d.backBuffer != nullptr) d.backBuffer->Release();
  if (d.primarySurface != nullptr) d.primarySurface->Release();
  if (d.palette != nullptr) d.palette->Release();
  d.directDraw->RestoreDisplayMode();
  d.directDraw->Release();
  // Released objects are forgotten, so that nothing can release them a second time.
  d.offscreenSurface = nullptr;
  d.backBuffer = nullptr;
  d.primarySurface = nullptr;
  d.palette = nullptr;
  d.directDraw = nullptr;
}
