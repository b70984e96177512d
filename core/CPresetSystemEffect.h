// The effect base that keeps the program names and announces that the whole
// state travels as one chunk.
#pragma once

#include "core/AudioEffectX.h"
#include "state/ProgramNames.h"

class CPresetSystemEffect : public AudioEffectX {
 public:
  CPresetSystemEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  // Program changes from the host have no effect: the state lives in the
  // parameters, the meter settings and the label.
  VstInt32 getProgram() override { return 0; }

 protected:
  orvane::ProgramNames programNames;
  VstInt32 currentInternalProgram = 0;
};
