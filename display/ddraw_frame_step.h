// One DirectDraw frame, run by the message loop whenever the queue is empty: palette step, lock of
// the offscreen surface, composition into it, unlock, copy to the back buffer, flip.
#pragma once

// Attempts at the copy or the flip per frame, lost-surface restores included. Past them the frame
// is given up, so that the message loop still sees the input that ends the run.
constexpr int kPresentAttempts = 10;

// 1 when the frame was shown, 0 when it stopped early (lock failed, or the copy or the flip kept
// failing).
int DirectDrawFrameStep();
// Restores the primary surface, the back buffer and the offscreen surface, in that order.
void RestoreSurfaces();
