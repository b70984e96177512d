// The tape label's font description: the embedded font (ZELCoreTextFont)
// installed as the platform font of a CFontDesc, so the toolkit draws and
// measures with it like any other font and its name is never looked up.
#pragma once

#include "controls/ZELCoreTextFont.h"

namespace VSTGUI {

class CZELCustomFont : public CFontDesc {
 public:
  // The embedded font at size pixels; style of CTxtFace. One reference for
  // the caller, as every toolkit object.
  explicit CZELCustomFont(CCoord size = 38, int32_t style = 0, const ZELFontSource& source = {});

  // The label font (38 pixels, plain) shared by every window of the
  // library, with one more reference for the caller, who forgets it when
  // done. It is made on the first call (on the window thread, never while
  // the library loads) and goes with its last reference, taking its
  // DirectWrite loaders and GDI font with it, so an unloaded library leaves
  // nothing registered behind.
  static CZELCustomFont* acquire();

  // Copies share the embedded face and a changed size or style takes a
  // variant of it (as CFontDesc does for any custom font); even a new name
  // keeps it, since the name of this font is never looked up.
  IPlatformFont* getPlatformFont() override;
  ZELCoreTextFont* getCoreTextFont();

  ~CZELCustomFont() override;

 private:
  ZELFontSource source;
};

}  // namespace VSTGUI
