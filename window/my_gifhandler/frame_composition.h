#pragma once
// Places one frame's picture on the output canvas, the way the preview places it.

#include <wx/image.h>

// Returns an image of exactly width by height: the picture on a black canvas, never enlarged,
// shrunk with its proportions kept when it does not fit (nearest neighbour, the toolkit's normal
// quality), centred with an odd leftover pixel to the right and bottom. Transparent pixels (mask
// colour or alpha) are blended over black. An invalid picture gives the black canvas alone; a width
// or height below 1, or too little memory for the canvas or the shrunk picture, gives an invalid image. Needs no display, and may run on any thread.
wxImage ComposeExportFrame(const wxImage& picture, int width, int height);
