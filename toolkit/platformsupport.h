// Where the toolkit finds its resources and its clock, per platform.
#pragma once

#include <cstdint>

#include "toolkit/vstguibase.h"

namespace VSTGUI {

// Windows: the module (HINSTANCE) whose resources hold the PNG bitmaps
// (type "PNG", integer identifiers) and whose instance owns the frame's
// window class. A plug-in sets its own DLL here; the default is the
// executable. Natively it is stored and otherwise unused.
void setResourceModule(void* moduleHandle);
void* getResourceModule();

// Natively: the folder whose file "N.png" is bitmap resource N. Ignored on
// Windows, where bitmaps come from the module's resources.
void setResourceFolder(UTF8StringPtr path);
UTF8StringPtr getResourceFolder();

// Milliseconds of the system clock (the Windows tick count on Windows).
uint32_t getPlatformTicks();

// Lets go of what the toolkit keeps for the whole process: the stock fonts'
// platform fonts and, on Windows, the Direct2D, DirectWrite and imaging
// factories (under Wine a Direct2D factory holds a whole Direct3D device).
// A plug-in calls it when its last instance is gone, so that unloading the
// library leaves none of them behind; whatever is drawn later makes them
// again. Objects made from a factory keep what they need of it. The
// user-interface thread only, like all drawing.
void releasePlatformResources();

}  // namespace VSTGUI
