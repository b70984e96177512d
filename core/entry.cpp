// The plug-in binary's entry point and its library-wide state.
#include "core/Templete.h"
#include "editor/PluginEditor.h"

#if defined(_WIN32)
#define ORVANE_EXPORT extern "C" __declspec(dllexport)
#else
#define ORVANE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

orvane::PluginLibrary gLibrary;

AEffect* createInstance(audioMasterCallback audioMaster) {
  // A host that does not answer the version query gets no instance. The
  // question is asked twice, as instance creation always did.
  if (audioMaster) {
    if (!audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
    if (!audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
  }
  Templete* effect = new Templete(audioMaster, gLibrary.settings);
  // Natively too the instance reports its editor: it opens as an X11 child
  // window of the host's window.
  return effect->getAeffect();
}

}  // namespace

ORVANE_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
  // Any allocation of the construction may fail (the effect, its engines,
  // the chunk buffer, the lock): the parts already made are released as the
  // exception unwinds, and the host is told "no instance" instead of having
  // the exception run into its own frames.
  try {
    return createInstance(audioMaster);
  } catch (...) {
    return nullptr;
  }
}

#if !defined(_WIN32)
// Older hosts look for the entry point under the name "main". On Windows the
// module definition file exports the same function under both names.
ORVANE_EXPORT AEffect* orvaneMainAlias(audioMasterCallback audioMaster) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif
