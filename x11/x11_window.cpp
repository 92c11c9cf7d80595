// Choosing, opening and watching the X11 saver's window.
#include "x11/x11_window.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>

#include "x11/monitors.h"

namespace {

constexpr int kOwnWidth = 640;
constexpr int kOwnHeight = 480;

Window CreateOwnWindow(Display* display, TargetWindow& target) {
  const int screen = DefaultScreen(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.event_mask = StructureNotifyMask | KeyPressMask | ExposureMask;
  const Window window = XCreateWindow(display, RootWindow(display, screen), 0, 0, kOwnWidth,
                                      kOwnHeight, 0, CopyFromParent, InputOutput, CopyFromParent,
                                      CWBackPixel | CWEventMask, &attributes);
  XStoreName(display, window, "Glimra");
  XClassHint hint{const_cast<char*>("glimra"), const_cast<char*>("Glimra")};
  XSetClassHint(display, window, &hint);
  // The window manager's close button sends this message instead of killing the connection.
  target.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &target.deleteWindow, 1);
  XMapWindow(display, window);
  return window;
}

}  // namespace

bool OpenTargetWindow(Display* display, const TargetChoice& choice, TargetWindow& target,
                      std::string& error) {
  target = TargetWindow{};
  switch (choice.kind) {
    case TargetKind::GivenWindow:
      target.window = choice.windowId;
      break;
    case TargetKind::RootWindow:
      target.window = DefaultRootWindow(display);
      target.spansMonitors = true;
      break;
    case TargetKind::OwnWindow:
      target.window = CreateOwnWindow(display, target);
      target.own = true;
      break;
  }
  // Size, visual and colormap come from the window itself, never from the screen.
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, target.window, &attributes)) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", target.window);
    error = std::string("there is no window ") + id;
    return false;
  }
  target.width = attributes.width;
  target.height = attributes.height;
  target.depth = attributes.depth;
  target.visual = attributes.visual;
  target.colormap = attributes.colormap;
  if (target.visual->c_class != TrueColor && target.visual->c_class != DirectColor) {
    error = "the window's visual is not TrueColor";
    return false;
  }
  // No input events: XScreenSaver itself listens for input on its window, and asking for button
  // presses there fails.
  if (!target.own) XSelectInput(display, target.window, StructureNotifyMask | ExposureMask);
  if (target.spansMonitors) target.randrEventBase = WatchMonitorLayout(display, target.window);
  return true;
}

WindowEvent HandleWindowEvents(Display* display, TargetWindow& target) {
  WindowEvent result = WindowEvent::Nothing;
  auto note = [&result](WindowEvent event) { result = std::max(result, event); };
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (target.spansMonitors && IsMonitorLayoutChange(target.randrEventBase, event)) {
      note(WindowEvent::Resized);  // the pictures are laid out again for the new monitors
    } else if (event.type == ConfigureNotify && event.xconfigure.window == target.window) {
      if (event.xconfigure.width != target.width || event.xconfigure.height != target.height) {
        target.width = event.xconfigure.width;
        target.height = event.xconfigure.height;
        note(WindowEvent::Resized);
      }
    } else if (event.type == Expose && event.xexpose.window == target.window) {
      note(WindowEvent::Exposed);
    } else if (target.own && event.type == KeyPress) {
      const KeySym key = XLookupKeysym(&event.xkey, 0);
      if (key == XK_Escape || key == XK_q || key == XK_Q) note(WindowEvent::Close);
    } else if (target.own && event.type == ClientMessage &&
               static_cast<Atom>(event.xclient.data.l[0]) == target.deleteWindow) {
      note(WindowEvent::Close);
    }
  }
  return result;
}

void BlackenAreas(Display* display, Window window, GC gc, const std::vector<WindowArea>& areas) {
  if (areas.empty()) return;
  std::vector<XRectangle> rectangles;
  for (const WindowArea& area : areas)
    rectangles.push_back({static_cast<short>(area.x), static_cast<short>(area.y),
                          static_cast<unsigned short>(area.width),
                          static_cast<unsigned short>(area.height)});
  // Pixel 0 is black in every TrueColor visual.
  XSetForeground(display, gc, 0);
  XFillRectangles(display, window, gc, rectangles.data(), static_cast<int>(rectangles.size()));
}

void CloseTargetWindow(Display* display, TargetWindow& target) {
  if (target.own && target.window != 0) XDestroyWindow(display, target.window);
  target = TargetWindow{};
}
