// Every control of the window and the hint line, in one include.
#pragma once

#include "controls/CAnimKnob4.h"
#include "controls/CHelpHintLabel.h"
#include "controls/CZELHintControl.h"
#include "controls/CZELOnOffButton.h"
#include "controls/CZELSelectors.h"
#include "controls/CZELSliderAH.h"
#include "controls/CZELTapeLabel.h"
#include "controls/CZELTextEdit.h"
#include "controls/CZLKickButton.h"
#include "controls/ControlRules.h"
