// The block of MeterEngine, for the engines' own files only: it needs the
// engine's ballistics, which no other file sees.
#pragma once

#include "meters/MeterEngine.h"

namespace orvane {

template <class Engine>
void MeterEngine<Engine>::processStereo(float** outputs, int32_t frames) {
  if (!outputs || !outputs[0]) return;
  process(outputs[0], outputs[1], frames);
}

template <class Engine>
void MeterEngine<Engine>::processMono(float** outputs, int32_t frames) {
  if (!outputs || !outputs[0]) return;
  process(outputs[0], nullptr, frames);
}

template <class Engine>
void MeterEngine<Engine>::process(const float* a, const float* b, int32_t frames) {
  if (!a || frames <= 0) return;
  Engine& engine = static_cast<Engine&>(*this);
  auto ballistics = engine.beginBallistics();
  core_.beginBlock();
  const bool usable = core_.run(a, b, frames, ballistics);
  engine.endBallistics(ballistics);
  // NaN or infinity in the audio sends the readings back to rest rather
  // than leaving them NaN or pegged for good.
  ballistics.forEachReading([this, &engine, usable](int kind, int channel, double value) {
    if (!core_.publish(kind, channel, value, usable)) engine.readingRested(kind, channel);
  });
}

}  // namespace orvane
