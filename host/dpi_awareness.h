// The full-screen modes declare per-monitor DPI awareness, so that monitor rectangles, windows and
// pictures are in physical pixels and no monitor's picture is stretched by the system.
#pragma once

// The newest declaration this Windows offers: per-monitor V2 awareness context, else per-monitor
// process awareness (shcore), else system awareness; none on Windows without any of them. Must come
// before the first window.
void DeclareDpiAwareness();
