// The families of bitmaps, one file each, and the pieces that one family
// lends another (the panels print the faces that the faces family draws).
#pragma once

#include <vector>

#include "resources/ArtCanvas.h"

namespace orvane {
namespace artwork {

// Faces and scales (ArtFaces.cpp).
void addFaceArtwork(std::vector<Artwork>& list);
// The VU face, 250 x 122, at illumination 0 (dark) to 4, drawn with the
// face's top left at the origin.
void drawVuFace(cairo_t* cr, int level);
// The black face of the PPM (meterType 2) or RMS (1) meter, 250 x 116, with
// its printed scale, drawn with the view's top left at the origin.
void drawBlackFace(cairo_t* cr, int meterType);

// Panel backgrounds (ArtPanels.cpp).
void addPanelArtwork(std::vector<Artwork>& list);
// Buttons and switches (ArtButtons.cpp).
void addButtonArtwork(std::vector<Artwork>& list);
// Knobs and handles (ArtKnobs.cpp).
void addKnobArtwork(std::vector<Artwork>& list);
// The back panels' knob (ArtKnobs.cpp): the strip 10003 turns its pointer
// from 225 degrees (lowest, lower left) clockwise to -45 degrees (highest,
// lower right); frame n of the 51 points at knobAngle(n / 50).
constexpr int kKnobFrames = 51;
constexpr double kKnobWidth = 43, kKnobHeight = 41;
inline double knobAngle(double fraction) { return 225.0 - 270.0 * fraction; }

// Back-panel backgrounds and the scope strips (ArtBackPanels.cpp).
void addBackPanelArtwork(std::vector<Artwork>& list);

// LEDs (ArtLeds.cpp).
void addLedArtwork(std::vector<Artwork>& list);
// The LED glass of `diameter` centred at (cx, cy): 0 off, 1 latched (a dim
// glow that tells an over happened), 2 over now.
void drawLed(cairo_t* cr, double cx, double cy, double diameter, int state);
// Strips (ArtStrips.cpp).
void addStripArtwork(std::vector<Artwork>& list);

}  // namespace artwork
}  // namespace orvane
