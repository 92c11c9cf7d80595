// The command line of glimra-render: which settings file, how many frames, and where the last
// frame (PNG) and the animation (GIF) go. Parsing is separate from main so that every rejected
// argument gives the same one-line message and exit code.
#pragma once

#include <string>

struct RenderOptions {
  std::string iniPath;  // empty: the saver's own settings file
  long frames = 1;
  std::string pngPath;  // empty: no PNG
  std::string gifPath;  // empty: no GIF
  bool help = false;
};

// Fills `options` from argv; on a bad argument returns false with a one-line reason in `error`.
bool ParseRenderOptions(int argc, char** argv, RenderOptions& options, std::string& error);

extern const char kRenderUsage[];
