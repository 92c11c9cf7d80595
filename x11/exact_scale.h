// Where an X server's own nearest-neighbour scaling of the tile makes exactly the saver's picture:
// a plain rule of sizes, apart from the Render requests that use it (server_scale.h), so that the
// tests can check it without a display (the sampling itself is engine/pixel_lookup.h).
#pragma once

// How many picture pixels show one tile pixel, across and down, where an X server's
// nearest-neighbour scaling makes exactly the picture of MakeTileSampling: whole enlargements,
// small enough that its 16.16 fixed-point steps cannot carry a sample across a pixel's edge. 0 and
// 0 elsewhere. Enlarged: the tile is magnified as a whole; tiled: the 640 x 480 frame is, the tile
// repeating.
struct ServerScale {
  int across;
  int down;
};
ServerScale ExactServerScale(int width, int height, bool enlarged);
