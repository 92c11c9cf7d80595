// The window the X11 saver draws in: a given one (its size, visual and colormap read from it),
// the root window (which may span several monitors), or a 640 x 480 window of its own; and the
// events that matter while drawing.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "x11/monitor_layout.h"
#include "x11/window_choice.h"

struct TargetWindow {
  Window window = 0;
  bool own = false;  // created here: destroyed at the end, closes on Esc, q or the close button
  bool spansMonitors = false;  // the root window: a picture on each of its monitors
  int randrEventBase = -1;     // RandR's notices of a new monitor layout, when spansMonitors
  int width = 0;
  int height = 0;
  int depth = 0;
  Visual* visual = nullptr;
  Colormap colormap = 0;
  Atom deleteWindow = 0;
};

// Opens or adopts the window of `choice` and asks for the events below. The window must have a
// TrueColor visual. False with a one-line reason.
bool OpenTargetWindow(Display* display, const TargetChoice& choice, TargetWindow& target,
                      std::string& error);

enum class WindowEvent { Nothing, Exposed, Resized, Close };

// Handles every queued event: a new size (ConfigureNotify) updates `target` and gives Resized, and
// so does a new monitor layout of the root window;
// Esc, q or the window manager's close button on our own window gives Close; a part of the
// window to be redrawn gives Exposed. The weightiest event of the batch is returned.
WindowEvent HandleWindowEvents(Display* display, TargetWindow& target);

// Blackens the areas (the bands around the pictures) of the window.
void BlackenAreas(Display* display, Window window, GC gc, const std::vector<WindowArea>& areas);

// Destroys the window if it is our own; a given window is left as it was.
void CloseTargetWindow(Display* display, TargetWindow& target);
