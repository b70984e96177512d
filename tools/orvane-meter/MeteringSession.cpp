#include "tools/orvane-meter/MeteringSession.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Templete.h"
#include "meters/MeterReadout.h"
#include "meters/PPMmeter.h"
#include "meters/RMSMeter.h"
#include "meters/VUmeter.h"
#include "platform/MemoryRegistry.h"
#include "settings/SharedSettings.h"

namespace orvane {
namespace metertool {

namespace {

// A VST 2.4 host in its simplest form: it says it is one, and every pin is
// connected.
VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  switch (opcode) {
    case audioMasterVersion: return 2400;
    default: return 0;  // pins connected, no latency
  }
}

// The RMS needle is the root of the mean square, times the square root of
// two so that a sine reads its peak. Interpolation can push a mean square
// just below zero; the RMS view then shows its lowest value.
double rmsOf(double meanSquare) {
  if (!(meanSquare >= 0.0)) return 0.0001;
  return std::sqrt(meanSquare) * 1.4142;
}

}  // namespace

MeteringSession::MeteringSession(const SessionSetup& setup)
    : setup_(setup), registry_(new MemoryRegistry()), shared_(new SharedSettings(*registry_)) {
  if (setup_.blockSize < 1) setup_.blockSize = 1;
  if (!(setup_.displayRateHz > 0.0)) setup_.displayRateHz = 30.0;
  effect_.reset(new Templete(&hostCallback, *shared_));
  for (int c = 0; c < 2; ++c) {
    in_[c].assign(static_cast<std::size_t>(setup_.blockSize), 0.0f);
    out_[c].assign(static_cast<std::size_t>(setup_.blockSize), 0.0f);
  }
  AEffect* e = effect_->getAeffect();
  // What a host does after opening an instance: rate and block size, its
  // parameters, then switch it on.
  e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, setup_.sampleRate);
  e->dispatcher(e, effSetBlockSize, 0, setup_.blockSize, nullptr, 0.0f);
  for (const ParameterSetting& p : setup_.parameters) effect_->setParameter(p.index, p.value);
  e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
}

MeteringSession::~MeteringSession() {
  if (effect_) {
    AEffect* e = effect_->getAeffect();
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
  }
  effect_.reset();
}

int MeteringSession::meterType() const { return effect_->meterType(); }

bool MeteringSession::midSide() const {
  return twoState(effect_->getParameter(kLRMS)) != 0;
}

double MeteringSession::referenceDbfs() const {
  double ref = 1.0;
  switch (meterType()) {
    case kMeterRMS: ref = effect_->engines().rms().referenceAmplitude(); break;
    case kMeterPPM: ref = effect_->engines().ppm().referenceAmplitude(); break;
    default: ref = effect_->engines().vu().referenceAmplitude(); break;
  }
  return ref > 0.0 ? 20.0 * std::log10(ref) : 0.0;
}

void MeteringSession::feed(const float* left, const float* right, std::size_t frames, TickSink& sink) {
  const std::size_t block = static_cast<std::size_t>(setup_.blockSize);
  std::size_t done = 0;
  while (done < frames) {
    const std::size_t n = std::min(block - fill_, frames - done);
    std::memcpy(in_[0].data() + fill_, left + done, n * sizeof(float));
    if (!setup_.mono) std::memcpy(in_[1].data() + fill_, (right ? right : left) + done, n * sizeof(float));
    fill_ += n;
    done += n;
    if (fill_ == block) {
      runBlock(block, sink);
      fill_ = 0;
    }
  }
}

void MeteringSession::finish(TickSink& sink) {
  if (fill_ > 0) {
    runBlock(fill_, sink);
    fill_ = 0;
  }
  // A refresh that falls exactly on the end still sees the last block.
  readTicksBefore(framesDone_, true, sink);
}

void MeteringSession::runBlock(std::size_t frames, TickSink& sink) {
  const uint64_t end = framesDone_ + frames;
  // The refreshes that come before this block has been processed.
  readTicksBefore(end, false, sink);
  float* inputs[2] = {in_[0].data(), setup_.mono ? nullptr : in_[1].data()};
  float* outputs[2] = {out_[0].data(), out_[1].data()};
  AEffect* e = effect_->getAeffect();
  e->processReplacing(e, inputs, outputs, static_cast<VstInt32>(frames));
  framesDone_ = end;
  lastBlockEnd_ = end;
}

void MeteringSession::readTicksBefore(uint64_t endFrame, bool inclusive, TickSink& sink) {
  const double rate = setup_.displayRateHz;
  const double sr = setup_.sampleRate;
  for (;;) {
    // Refresh k at k / rate seconds, block end at endFrame / sr seconds.
    const double tickScaled = static_cast<double>(nextTick_) * sr;
    const double endScaled = static_cast<double>(endFrame) * rate;
    if (inclusive ? tickScaled > endScaled : tickScaled >= endScaled) break;
    readTick(sink);
  }
}

void MeteringSession::readTick(TickSink& sink) {
  DisplayTick t;
  t.index = nextTick_++;
  t.time = static_cast<double>(t.index) / setup_.displayRateHz;
  // The panel's block position: the time since the last block, in blocks.
  const double since = t.time - static_cast<double>(lastBlockEnd_) / setup_.sampleRate;
  const double blockSeconds = effect_->blockSeconds();
  double x = blockSeconds > 0.0 ? since / blockSeconds : 0.0;
  if (!(x > 0.0)) x = 0.0;
  t.x = static_cast<float>(x);

  const int type = meterType();
  MeterReadout& readout = effect_->engines().readout(type);
  for (int c = 0; c < 2; ++c) {
    t.needle[c] = readout.readDisplayValue(t.x, kMainReading, c);
    t.hold[c] = readout.readHoldDisplay(t.x, c);
    if (type == kMeterRMS) t.rms[c] = rmsOf(readout.readDisplayValue(t.x, kMeanSquareReading, c));
    t.over[c] = readout.readOverState(c);
  }
  // As the panel does after each refresh: follow the shared stores.
  switch (type) {
    case kMeterRMS: effect_->engines().rms().syncSharedSettings(); break;
    case kMeterPPM: effect_->engines().ppm().syncSharedSettings(); break;
    default: effect_->engines().vu().syncSharedSettings(); break;
  }
  sink.tick(t);
}

std::vector<std::pair<std::string, std::string>> MeteringSession::describeSettings() {
  std::vector<std::pair<std::string, std::string>> out;
  Templete& fx = *effect_;
  char text[64];
  auto host = [&](int32_t index) {
    fx.getParameterName(index, text);
    std::string name = text;
    fx.getParameterDisplay(index, text);
    out.emplace_back(name, text);
  };
  for (int32_t index : {kMeter, kLRMS, kHold, kLagTime, kProcess, kTrim, kProcFlt, kHPStat, kHPSlope, kHPFreq,
                        kLPStat, kLPSlope, kLPFreq, kGSIcal})
    host(index);

  auto v = [&](int32_t index) { return fx.getParameter(index); };
  auto engineText = [&](int32_t index) {
    char buffer[64] = {0};
    fx.engines().settingDisplay(index, buffer);
    return std::string(buffer);
  };
  auto add = [&](const char* label, std::string value) { out.emplace_back(label, std::move(value)); };
  auto precise = [&](int32_t index) { return (int)(v(index) + 0.5f) ? "on" : "off (cpu safe)"; };
  auto msType = [&](int32_t index) { return "M" + std::to_string(3 * (int)(v(index) * 2.0f + 0.5f)); };
  auto overCount = [&](int32_t index) { return std::to_string((int)(v(index) * 9.0f + 0.5f) + 1) + " samples"; };
  auto overLevel = [&](int32_t index, const char* above) -> std::string {
    static const char* const levels[] = {nullptr, "-3 dBFS", "-1 dBFS", "0 dBFS"};
    const int step = (int)(v(index) * 3.0f + 0.5f);
    return step <= 0 ? std::string(above) : levels[step > 3 ? 3 : step];
  };

  switch (meterType()) {
    case kMeterVU:
      add("reference", engineText(83));
      add("integration", engineText(84));
      add("hold time", engineText(85));
      add("needle type", v(86) < 0.5f ? "A" : "B");
      add("mid/side type", msType(87));
      add("backlight", std::to_string((int)(v(88) * 4.0f + 0.5f)) + " of 4");
      add("over count", overCount(89));
      add("over level", overLevel(90, "+8 dB over the reference"));
      add("precise", precise(91));
      break;
    case kMeterRMS: {
      add("reference", engineText(72));
      add("integration", engineText(73));
      add("rms integration", engineText(74));
      add("hold time", engineText(75));
      add("return", engineText(76));
      add("mid/side type", msType(77));
      add("over count", overCount(78));
      add("over level", std::to_string((int)(v(79) * 6.0f + 0.5f) - 6) + " dB");
      add("precise", precise(80));
      add("over level from", (int)(v(81) + 0.5f) ? "full scale" : "the reference");
      break;
    }
    default:
      add("reference", engineText(93));
      add("integration", engineText(94));
      add("hold time", engineText(95));
      add("return", engineText(96));
      add("mid/side type", msType(97));
      add("over count", overCount(98));
      add("over level", overLevel(99, "+8.15 dB over the reference"));
      add("precise", precise(100));
      break;
  }
  return out;
}

}  // namespace metertool
}  // namespace orvane
