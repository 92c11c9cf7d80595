// The DirectDraw frame step. The frame is composed straight into the locked offscreen surface (the
// only surface ever locked), then one fast blit moves it to the back buffer and one flip shows it.
// Lost surfaces are restored in place; nothing is recreated during a run.
#include "display/ddraw_frame_step.h"

#include "display/display_resources.h"
#include "display/palette_handover.h"
#include "engine/compose.h"
#include "settings/saver_settings.h"

namespace {

// Calls `present` until it succeeds, restoring the surfaces whenever it reports them lost, at most
// kPresentAttempts times.
template <typename Present>
bool PresentWithRetries(Present present) {
  for (int attempt = 0; attempt < kPresentAttempts; ++attempt) {
    const HRESULT result = present();
    if (result == DD_OK) return true;
    if (result == DDERR_SURFACELOST) RestoreSurfaces();
  }
  return false;
}

// Locks the offscreen surface and points the engine at it. A lost surface is restored here too,
// so that the next frame can lock again instead of failing for ever.
bool LockFrame() {
  LPDIRECTDRAWSURFACE offscreen = displayResources.offscreenSurface;
  DDSURFACEDESC desc = {};
  desc.dwSize = sizeof(DDSURFACEDESC);
  const HRESULT locked = offscreen->Lock(nullptr, &desc, 0, nullptr);
  if (locked != DD_OK) {
    if (locked == DDERR_SURFACELOST) RestoreSurfaces();
    return false;
  }
  // Each row starts at the pitch the lock reports; rows shorter than the frame cannot hold it.
  if (desc.lpSurface == nullptr || desc.lPitch < kFrameWidth) {
    offscreen->Unlock(nullptr);
    return false;
  }
  framePixels = static_cast<std::uint8_t*>(desc.lpSurface);
  framePitch = desc.lPitch;
  return true;
}

}  // namespace

int DirectDrawFrameStep() {
  DisplayResources& d = displayResources;
  if (saverSettings.pal != 0) StepPalette();
  if (!LockFrame()) return 0;
  ComposeFrame();
  d.offscreenSurface->Unlock(nullptr);

  RECT source = {0, 0, kDisplayWidth, kDisplayHeight};
  if (!PresentWithRetries(
          [&] { return d.backBuffer->BltFast(0, 0, d.offscreenSurface, &source, DDBLTFAST_WAIT); }))
    return 0;
  if (!PresentWithRetries([&] { return d.primarySurface->Flip(nullptr, DDFLIP_WAIT); })) return 0;
  return 1;
}

void RestoreSurfaces() {
  DisplayResources& d = displayResources;
  d.primarySurface->Restore();
  d.backBuffer->Restore();
  d.offscreenSurface->Restore();
}
