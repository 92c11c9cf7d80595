// glimra-digest: runs the engine for N frame steps with the given settings and prints a running
// hash of both ring tables and then of every frame's tile and colours, so that two builds (native,
// WebAssembly under node) can be compared over long runs. Usage: glimra-digest [--KEY VALUE]...
// where KEY is an INI key (dx_r dx_g dx_b one pal cir cycle), frames (1000) or every (frames
// between lines, 1000).
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/compose.h"
#include "engine/engine.h"
#include "engine/palette.h"
#include "engine/ring_tables.h"
#include "settings/saver_settings.h"

namespace {

std::uint64_t Fnv1a(std::uint64_t hash, const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ULL;
  return hash;
}

bool SetOption(const char* key, long value, long& frames, long& every) {
  struct Field {
    const char* key;
    std::int32_t* field;
  };
  const Field fields[] = {{"one", &saverSettings.one},
                          {"pal", &saverSettings.pal},
                          {"cir", &saverSettings.cir},
                          {"cycle", &saverSettings.cycle}};
  for (const Field& f : fields)
    if (std::strcmp(key, f.key) == 0) return *f.field = static_cast<std::int32_t>(value), true;
  if (std::strcmp(key, "dx_r") == 0) return saverSettings.dx_r = value, true;
  if (std::strcmp(key, "dx_g") == 0) return saverSettings.dx_g = value, true;
  if (std::strcmp(key, "dx_b") == 0) return saverSettings.dx_b = value, true;
  if (std::strcmp(key, "frames") == 0) return frames = value, value > 0;
  if (std::strcmp(key, "every") == 0) return every = value, value > 0;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  long frames = 1000;
  long every = 1000;
  for (int i = 1; i + 1 < argc; i += 2) {
    char* end = nullptr;
    const long value = std::strtol(argv[i + 1], &end, 10);
    if (std::strncmp(argv[i], "--", 2) != 0 || *end != '\0' ||
        !SetOption(argv[i] + 2, value, frames, every)) {
      std::fprintf(stderr, "glimra-digest: bad option '%s %s'\n", argv[i], argv[i + 1]);
      return 2;
    }
  }
  if (argc % 2 == 0) {
    std::fprintf(stderr, "glimra-digest: '%s' has no value\n", argv[argc - 1]);
    return 2;
  }
  static PaletteEntries entries;
  StartEngine(entries, EntryLayoutRgbQuad);
  // The tables first: every cell, not only those that the frames happen to sample.
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  hash = Fnv1a(hash, baseTable.data(), baseTable.size());
  hash = Fnv1a(hash, waveTable.data(), waveTable.size());
  std::printf("tables %016" PRIx64 "\n", hash);
  for (long frame = 1; frame <= frames; ++frame) {
    StepFrame(entries, EntryLayoutRgbQuad, FrameOutputTile);
    hash = Fnv1a(hash, ringTile, sizeof ringTile);
    hash = Fnv1a(hash, &entries[0][0], sizeof(PaletteEntries));
    if (frame % every == 0 || frame == frames) std::printf("%ld %016" PRIx64 "\n", frame, hash);
  }
  return 0;
}
