#include "core/CPresetSystemEffect.h"

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster, VstInt32 programs, VstInt32 params)
    : AudioEffectX(audioMaster, programs, params) {
  programsAreChunks(true);
}

void CPresetSystemEffect::setProgramName(char* name) {
  programNames.setName(currentInternalProgram, name);
}

void CPresetSystemEffect::getProgramName(char* name) { programNames.copyName(currentInternalProgram, name); }

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
  return programNames.copyName(index, text);
}
