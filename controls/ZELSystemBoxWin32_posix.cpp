#include "controls/ZELSystemBoxWin32.h"

namespace VSTGUI {

IPlatformTextEdit* createZELSystemBox(CFrame* frame, IPlatformTextEditCallback* control, double) {
  IPlatformFrame* pf = frame ? frame->getPlatformFrame() : nullptr;
  return pf && control ? pf->createPlatformTextEdit(control) : nullptr;
}

}  // namespace VSTGUI
