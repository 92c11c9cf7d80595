#include "render/render_start.h"

#include "engine/compose.h"
#include "engine/engine.h"
#include "posix/private_profile_location.h"
#include "settings/settings_store.h"

void StartRendering(const std::string& iniPath, PaletteEntries entries,
                    std::vector<std::uint8_t>& frame) {
  saverSettings = SaverSettings{};
  ResetEngine();
  SetProfileFileOverride(iniPath);
  LoadSettings();
  SetProfileFileOverride("");
  StartEngine(entries);
  frame.assign(kFrameBytes, 0);
  framePixels = frame.data();
  framePitch = kFrameWidth;
}
