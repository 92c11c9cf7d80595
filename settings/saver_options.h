// The command line of the X11 and Wayland savers: where to draw, how fast, and the eight saver
// settings under names that say what they do. The two programs share every option but those that
// say where to draw. Parsing is a plain function so that the tests can run every rule without a
// display.
#pragma once

#include <string>

#include "settings/saver_settings.h"

// Whose command line: the options of the place to draw differ.
enum class SaverProgram {
  X11,      // glimra: --window-id, --root
  Wayland,  // glimra-wayland: --window, --background
};

struct SaverOptions {
  std::string windowId;     // X11 --window-id as given (parsed by the window choice)
  bool root = false;        // X11 --root
  bool window = false;      // Wayland --window: one ordinary window instead of every output
  bool background = false;  // Wayland --background: a wallpaper under the windows on every output
  long delayMicroseconds = 50000;  // from one frame to the next: 20 frames a second
  bool showFps = false;
  bool stretch = false;  // fill the window instead of keeping the picture's 4:3 shape
  bool help = false;
  std::string iniPath;  // a settings file to read before the options below apply
  // Settings given on the command line; each `has*` says whether the option was there.
  bool hasCycle = false, hasCircles = false, hasPalette = false, hasEnlarge = false;
  bool hasRed = false, hasGreen = false, hasBlue = false;
  int cycle = 1;
  int circles = 3;  // rings combined: 4 - cir
  int palette = 1;  // PaletteMode
  bool enlarge = true;
  int redSpeed = 5, greenSpeed = 10, blueSpeed = 3;
};

// Fills `options` from argv (single or double dash, value as the next argument or after '=').
// On a bad option or value: false with a one-line reason in `error`.
bool ParseSaverOptions(SaverProgram program, int argc, char** argv, SaverOptions& options,
                       std::string& error);

// The settings the saver runs with: the defaults or the --ini file, then the options given.
// Returns the record unscaled (speeds as whole numbers).
SaverSettings SettingsFromOptions(const SaverOptions& options);

// The --palette names, indexed by PaletteMode.
extern const char* const kPaletteNames[7];
// The --help text of the program.
std::string SaverUsage(SaverProgram program);
