#pragma once
// Reduction of any picture to an image whose colours come from a palette of at most 256 entries,
// the only kind of image the GIF writer accepts.

#include "window/my_gifhandler/frame_optimiser.h"

#include <wx/image.h>

// Returns a new image of the same size, RGB, with a wxPalette of at most 256 entries that holds
// every colour used by its pixels, and with neither mask, alpha channel nor image options.
// - A picture with 256 colours or fewer keeps its exact colours (palette in order of first use).
// - Otherwise libimagequant picks the palette and maps the pixels to it.
// - Only the RGB bytes count: an alpha channel is ignored and a mask is dropped, so transparent
//   pixels keep whatever colour they hold. Blending over black is the frame composition's job.
// - An invalid (empty) image, a failure of the quantiser or too little memory for the result gives
//   an invalid image: it has no palette, so the writer refuses it.
// Safe to call from several threads at once.
wxImage ConvertToPaletteImage(wxImage image);

// The palette ConvertToPaletteImage would reduce the image to, limited to `maxColours` (1..256),
// without mapping the pixels: the exact colours in order of first use when there are that few,
// else the quantiser's choice. Empty for an invalid image or a failure of the quantiser.
// Safe to call from several threads at once.
gif_optimise::Palette ChooseImagePalette(const wxImage& image, int maxColours);
