// Parsing of glimra-render's arguments: options take their value from the next argument or after
// '=', numbers must be whole decimal numbers, and at least one output is required.
#include "render/render_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char kRenderUsage[] =
    "Usage: glimra-render [--ini FILE] [--frames N] [--out OUT.png] [--gif OUT.gif]\n"
    "Renders the saver's 640x480 frames headlessly.\n"
    "  --ini FILE     settings file (default: the saver's Tovalesk.ini; missing = defaults)\n"
    "  --frames N     number of frames to make, N >= 1 (default 1)\n"
    "  --out OUT.png  write the last frame as an 8-bit indexed PNG\n"
    "  --gif OUT.gif  write all N frames as a looping animated GIF, 50 ms a frame\n"
    "  --help         show this text\n";

namespace {

// A frame count: decimal digits only, at least 1, within long (no sign, no junk, no overflow).
bool ParseFrameCount(const std::string& text, long& frames) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno == ERANGE || *end != '\0' || value < 1) return false;
  frames = value;
  return true;
}

}  // namespace

bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::string value;
    bool hasValue = false;
    // "--name=value" carries its value; otherwise the value is the next argument.
    const auto equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      hasValue = true;
    }
    if (name == "--help" || name == "-h") {
      options.help = true;
      return true;
    }
    if (name != "--ini" && name != "--frames" && name != "--out" && name != "--gif") {
      error = "unknown argument '" + std::string(argv[i]) + "' (try --help)";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= argc) {
        error = name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (name == "--frames") {
      if (!ParseFrameCount(value, options.frames)) {
        error = "--frames needs a whole number of at least 1, not '" + value + "'";
        return false;
      }
    } else if (value.empty()) {
      error = name + " needs a file name";
      return false;
    } else if (name == "--ini") {
      options.iniPath = value;
    } else if (name == "--out") {
      options.pngPath = value;
    } else {
      options.gifPath = value;
    }
  }
  if (options.pngPath.empty() && options.gifPath.empty()) {
    error = "nothing to write: give --out OUT.png and/or --gif OUT.gif";
    return false;
  }
  return true;
}
