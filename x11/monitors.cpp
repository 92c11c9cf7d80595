// RandR and Xinerama queries of the X11 saver's monitors.
#include "x11/monitors.h"

#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

namespace {

// RandR 1.5 names monitors itself (a monitor may join several outputs, or be set by the user).
bool RandrMonitors(Display* display, Window root, std::vector<WindowArea>& monitors) {
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
      !XRRQueryVersion(display, &major, &minor) || major * 100 + minor < 105)
    return false;
  int count = 0;
  XRRMonitorInfo* info = XRRGetMonitors(display, root, True, &count);
  if (info == nullptr) return false;
  for (int i = 0; i < count; ++i)
    monitors.push_back({info[i].x, info[i].y, info[i].width, info[i].height});
  XRRFreeMonitors(info);
  return !monitors.empty();
}

// Older servers: Xinerama's screens (which servers with RandR 1.2 derive from their CRTCs).
void XineramaMonitors(Display* display, std::vector<WindowArea>& monitors) {
  int eventBase = 0, errorBase = 0;
  if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display))
    return;
  int count = 0;
  XineramaScreenInfo* screens = XineramaQueryScreens(display, &count);
  if (screens == nullptr) return;
  for (int i = 0; i < count; ++i)
    monitors.push_back({screens[i].x_org, screens[i].y_org, screens[i].width, screens[i].height});
  XFree(screens);
}

}  // namespace

std::vector<WindowArea> QueryMonitors(Display* display, Window root) {
  std::vector<WindowArea> monitors;
  if (!RandrMonitors(display, root, monitors)) XineramaMonitors(display, monitors);
  return monitors;
}

int WatchMonitorLayout(Display* display, Window root) {
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
      !XRRQueryVersion(display, &major, &minor))
    return -1;
  // A server older than RandR 1.2 refuses the CRTC and output masks.
  const bool outputs = major * 100 + minor >= 102;
  XRRSelectInput(
      display, root,
      RRScreenChangeNotifyMask | (outputs ? RRCrtcChangeNotifyMask | RROutputChangeNotifyMask : 0));
  return eventBase;
}

bool IsMonitorLayoutChange(int randrEventBase, XEvent& event) {
  if (randrEventBase < 0) return false;
  if (event.type == randrEventBase + RRScreenChangeNotify) {
    XRRUpdateConfiguration(&event);
    return true;
  }
  return event.type == randrEventBase + RRNotify;
}
