#include "core/AudioEffectX.h"

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (opcode < effProcessEvents) return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  switch (opcode) {
    case effProcessEvents:
      return processEvents(ptr);
    case effCanBeAutomated:
      return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
      return 0;
    case effGetProgramNameIndexed:
      return (ptr && getProgramNameIndexed((VstInt32)value, index, static_cast<char*>(ptr))) ? 1 : 0;
    case effGetInputProperties:
      return (ptr && getInputProperties(index, static_cast<VstPinProperties*>(ptr))) ? 1 : 0;
    case effGetOutputProperties:
      return (ptr && getOutputProperties(index, static_cast<VstPinProperties*>(ptr))) ? 1 : 0;
    case effGetPlugCategory:
      return getPlugCategory();
    case effSetSpeakerArrangement:
      return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                   static_cast<VstSpeakerArrangement*>(ptr))
                 ? 1
                 : 0;
    case effSetBypass:
      return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
      return (ptr && getEffectName(static_cast<char*>(ptr))) ? 1 : 0;
    case effGetVendorString:
      return (ptr && getVendorString(static_cast<char*>(ptr))) ? 1 : 0;
    case effGetProductString:
      return (ptr && getProductString(static_cast<char*>(ptr))) ? 1 : 0;
    case effGetVendorVersion:
      return getVendorVersion();
    case effVendorSpecific:
      return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return ptr ? canDo(static_cast<char*>(ptr)) : 0;
    case effGetTailSize:
      return getGetTailSize();
    case effGetParameterProperties:
      return (ptr && getParameterProperties(index, static_cast<VstParameterProperties*>(ptr))) ? 1 : 0;
    case effGetVstVersion:
      return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
      if (!editor) return 0;
      VstKeyCode key{};
      key.character = index;
      key.virt = (unsigned char)value;
      // The modifiers travel as a float; anything but a byte value is no modifier.
      key.modifier = (opt >= 0.0f && opt <= 255.0f) ? (unsigned char)opt : 0;
      bool used = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
      return used ? 1 : 0;
    }
    case effSetEditKnobMode:
      return (editor && editor->setKnobMode((int)value)) ? 1 : 0;
    case effGetCurrentMidiProgram:
      return -1;
    case effGetSpeakerArrangement:
      getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                            static_cast<VstSpeakerArrangement**>(ptr));
      return 0;
    case effSetTotalSampleToProcess:
      return value;
    default:
      return 0;
  }
}
