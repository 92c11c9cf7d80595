// Parsing of the X11 and Wayland savers' options. Every setting has the saver's own default, so
// that a command line without options (and the settings program, which drops options equal to the
// defaults) runs exactly the Windows saver's default picture.
#include "settings/saver_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "posix/private_profile_location.h"
#include "settings/settings_store.h"

const char* const kPaletteNames[7] = {"fixed",         "animate",      "shift",
                                      "autumn-leaves", "young-leaves", "water-surface",
                                      "cherry-blossom"};

namespace {

const char kX11Places[] =
    "Usage: glimra [options]\n"
    "Interference rings for X11 (an XScreenSaver program).\n"
    "Where to draw:\n"
    "  --window-id ID     draw in this window (hex 0x... or decimal)\n"
    "  --root             draw in $XSCREENSAVER_WINDOW, else in the root window\n"
    "                     (neither: a 640x480 window \"Glimra\"; Esc or q closes it)\n";

const char kWaylandPlaces[] =
    "Usage: glimra-wayland [options]\n"
    "Interference rings on every output of a Wayland desktop, until a key, a button or\n"
    "the pointer's moves end them (for an idle daemon: swayidle -w timeout 300 glimra-wayland).\n"
    "Where to draw:\n"
    "  --window           one ordinary window \"Glimra\" instead (Esc or q closes it)\n"
    "  --background       a wallpaper under the windows on every output instead (a\n"
    "                     layer-shell surface; input does not end it, a signal does)\n";

const char kSharedOptions[] =
    "Pace:\n"
    "  --delay USEC       time from one frame to the next (default 50000: 20 frames/s)\n"
    "  --fps              print the achieved frame rate on stderr every second\n"
    "Picture (defaults are the saver's):\n"
    "  --cycle 1..20      period of the base rings (default 1)\n"
    "  --circles 1..4     rings combined (default 3)\n"
    "  --palette NAME     animate (default), shift, fixed, autumn-leaves, young-leaves,\n"
    "                     water-surface or cherry-blossom\n"
    "  --enlarge | --tile the 160x120 pattern enlarged (default) or repeated four by four\n"
    "  --stretch          fill the window; by default the 4:3 picture is scaled evenly,\n"
    "                     centred, and the rest of the window is black\n"
    "  --red-speed 0..100, --green-speed 0..100, --blue-speed 0..100\n"
    "                     colour speeds (defaults 5, 10, 3)\n"
    "  --ini FILE         read the settings from a Tovalesk.ini file first\n"
    "  --help             show this text\n";

// A whole decimal number within [low, high]: no sign other than a leading '-', no junk.
bool ParseWhole(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text.find_first_not_of("-0123456789") != std::string::npos) return false;
  errno = 0;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno == ERANGE || *end != '\0' || end == text.c_str()) return false;
  if (parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

struct RangeOption {
  const char* name;
  long low;
  long high;
  int SaverOptions::*field;
  bool SaverOptions::*given;
};

const RangeOption kRangeOptions[] = {
    {"cycle", kCycleMin, kCycleMax, &SaverOptions::cycle, &SaverOptions::hasCycle},
    // Circles as shown (1 to 4), where the settings file's `cir` counts down from 3 to 0.
    {"circles", 4 - kCirMax, 4 - kCirMin, &SaverOptions::circles, &SaverOptions::hasCircles},
    {"red-speed", kSpeedMin, kSpeedMax, &SaverOptions::redSpeed, &SaverOptions::hasRed},
    {"green-speed", kSpeedMin, kSpeedMax, &SaverOptions::greenSpeed, &SaverOptions::hasGreen},
    {"blue-speed", kSpeedMin, kSpeedMax, &SaverOptions::blueSpeed, &SaverOptions::hasBlue},
};

const RangeOption* FindRangeOption(const std::string& name) {
  for (const RangeOption& option : kRangeOptions)
    if (name == option.name) return &option;
  return nullptr;
}

bool TakesValue(SaverProgram program, const std::string& name) {
  return FindRangeOption(name) || (program == SaverProgram::X11 && name == "window-id") ||
         name == "delay" || name == "palette" || name == "ini";
}

// Stores one option with a value; false with the reason when the value is not acceptable.
bool SetValue(const std::string& name, const std::string& value, SaverOptions& options,
              std::string& error) {
  long number = 0;
  if (const RangeOption* range = FindRangeOption(name)) {
    if (!ParseWhole(value, range->low, range->high, number)) {
      error = "--" + name + " takes a whole number from " + std::to_string(range->low) + " to " +
              std::to_string(range->high) + ", not '" + value + "'";
      return false;
    }
    options.*(range->field) = static_cast<int>(number);
    options.*(range->given) = true;
  } else if (name == "delay") {
    if (!ParseWhole(value, 0, 10000000, number)) {
      error = "--delay takes microseconds from 0 to 10000000, not '" + value + "'";
      return false;
    }
    options.delayMicroseconds = number;
  } else if (name == "palette") {
    int mode = -1;
    for (int i = 0; i < 7; ++i)
      if (value == kPaletteNames[i]) mode = i;
    if (mode < 0) {
      error =
          "--palette takes animate, shift, fixed, autumn-leaves, young-leaves, "
          "water-surface or cherry-blossom, not '" +
          value + "'";
      return false;
    }
    options.palette = mode;
    options.hasPalette = true;
  } else if (value.empty()) {
    error = "--" + name + " needs a value";
    return false;
  } else if (name == "window-id") {
    options.windowId = value;
  } else {
    options.iniPath = value;
  }
  return true;
}

}  // namespace

bool ParseSaverOptions(SaverProgram program, int argc, char** argv, SaverOptions& options,
                       std::string& error) {
  const bool x11 = program == SaverProgram::X11;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    // "-name" and "--name" are the same option; "--name=value" carries its value.
    std::string name = arg.rfind("--", 0) == 0  ? arg.substr(2)
                       : arg.rfind("-", 0) == 0 ? arg.substr(1)
                                                : std::string();
    std::string value;
    bool hasValue = false;
    if (const auto equals = name.find('='); equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
      hasValue = true;
    }
    if (TakesValue(program, name)) {
      if (!hasValue) {
        if (i + 1 >= argc) {
          error = "--" + name + " needs a value";
          return false;
        }
        value = argv[++i];
      }
      if (!SetValue(name, value, options, error)) return false;
      continue;
    }
    if (hasValue || name.empty()) name = "?";  // flags take no value
    if (name == "help" || name == "h") {
      options.help = true;
      return true;
    } else if (x11 && name == "root") {
      options.root = true;
    } else if (!x11 && name == "window") {
      options.window = true;
    } else if (!x11 && name == "background") {
      options.background = true;
    } else if (name == "fps") {
      options.showFps = true;
    } else if (name == "stretch") {
      options.stretch = true;
    } else if (name == "tile" || name == "enlarge") {
      options.enlarge = name == "enlarge";
      options.hasEnlarge = true;
    } else {
      error = "unknown option '" + arg + "' (try --help)";
      return false;
    }
  }
  if (options.window && options.background) {
    error = "--window and --background cannot be used together";
    return false;
  }
  return true;
}

SaverSettings SettingsFromOptions(const SaverOptions& options) {
  saverSettings = SaverSettings{};
  if (!options.iniPath.empty()) {
    SetProfileFileOverride(options.iniPath);
    LoadSettings();
    SetProfileFileOverride("");
  }
  SaverSettings settings = saverSettings;
  if (options.hasCycle) settings.cycle = options.cycle;
  if (options.hasCircles) settings.cir = 4 - options.circles;
  if (options.hasPalette) settings.pal = options.palette;
  if (options.hasEnlarge) settings.one = options.enlarge ? 1 : 0;
  if (options.hasRed) settings.dx_r = options.redSpeed;
  if (options.hasGreen) settings.dx_g = options.greenSpeed;
  if (options.hasBlue) settings.dx_b = options.blueSpeed;
  return settings;
}

std::string SaverUsage(SaverProgram program) {
  return std::string(program == SaverProgram::X11 ? kX11Places : kWaylandPlaces) + kSharedOptions;
}
