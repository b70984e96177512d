// Strips: the filters and label strips' bitmaps (none drawn yet).
#include "resources/ArtFamilies.h"

namespace orvane {
namespace artwork {

void addStripArtwork(std::vector<Artwork>&) {}

}  // namespace artwork
}  // namespace orvane
