// A deterministic fuzzer of the host boundary. It loads a plug-in binary
// through its exported entry point only (the test host's loader) and drives
// it as a careless or hostile host might: any parameter index and value,
// every dispatcher opcode with odd arguments, random and damaged chunks,
// sample-rate and block-size changes, audio in any block size with the odd
// NaN or infinity. After every step it checks what a host relies on. The
// same seed always gives the same run, so a failure prints the seed and the
// step to replay it with.
#include <algorithm>
#include "tools/fuzz/Fuzz.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tools/vsthost/VstHost.h"

namespace fuzz {

std::atomic<uint64_t> currentStep{0};

namespace {

constexpr int kHostParameters = 17;
constexpr int kChunkBytes = 596;
constexpr int kMaxBlock = 4096;
constexpr int kTextBuffer = 4096;  // what the host hands for a text: far more than asked for
constexpr int kParameterTextBytes = 24;

// splitmix64: tiny, fast and the same on every compiler, unlike the
// standard distributions.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1
  uint32_t below(uint32_t n) { return n ? (uint32_t)(((next() >> 32) * (uint64_t)n) >> 32) : 0; }
  int32_t range(int32_t lo, int32_t hi) { return lo + (int32_t)below((uint32_t)(hi - lo + 1)); }
  bool chance(uint32_t oneIn) { return below(oneIn) == 0; }
  double unit() { return (next() >> 11) * (1.0 / 9007199254740992.0); }

 private:
  uint64_t state_;
};

float interestingValue(Random& r) {
  static const float kSpecial[] = {std::numeric_limits<float>::quiet_NaN(),
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(),
                                   1e30f,
                                   -1e30f,
                                   0.0f,
                                   -0.0f,
                                   1.0f,
                                   0.5f,
                                   std::numeric_limits<float>::denorm_min(),
                                   std::numeric_limits<float>::max(),
                                   1.0000001f,
                                   -1e-7f};
  switch (r.below(4)) {
    case 0: return kSpecial[r.below(sizeof kSpecial / sizeof kSpecial[0])];
    case 1: return (float)(r.unit() * 2.0 - 0.5);
    default: return (float)r.unit();
  }
}

bool allFinite(const float* x, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(x[i])) return false;
  return true;
}

// The RMS meter keeps its four time settings at knob positions: what comes
// back may be the position of what went in.
float knobPosition(float v) { return (float)(int)(v * 80.0f) * 0.0125f; }
bool isRmsTimeOffset(int offset) { return offset >= 304 && offset < 320; }

class Run {
 public:
  Run(void* entry, const Options& options) : entry_(entry), options_(options), random_(options.seed) {
    for (auto& b : input_) b.assign(kMaxBlock, 0.0f);
    for (auto& b : output_) b.assign(kMaxBlock, 0.0f);
    text_.assign(kTextBuffer, 0);
    scratch_.assign(kTextBuffer, 0);
  }

  Result go() {
    if (!makeInstance(a_, hostA_) || !makeInstance(b_, hostB_)) return fail("the entry point gave no instance");
    for (step_ = 0; step_ < options_.steps; ++step_) {
      currentStep.store(step_, std::memory_order_relaxed);
      if ((step_ & 63) == 0 && options_.deadline && options_.deadline()) break;
      action();
      if (!failure_.empty()) break;
      check();
      if (!failure_.empty()) break;
    }
    Result result;
    result.failure = failure_;
    result.steps = failure_.empty() ? step_ : step_ + 1;
    result.failedStep = step_;
    return result;
  }

 private:
  bool makeInstance(std::unique_ptr<vsthost::Plugin>& p, vsthost::HostState& host) {
    p.reset();
    p.reset(new vsthost::Plugin(entry_, host));
    if (!p->valid()) return false;
    p->start(44100.0f, 512);
    return true;
  }

  Result fail(const std::string& what) {
    failure_ = what;
    Result r;
    r.steps = step_;
    r.failedStep = step_;
    r.failure = what;
    return r;
  }
  void report(const std::string& what) {
    if (failure_.empty()) failure_ = what + " (after: " + last_ + ")";
  }
  void trace(const std::string& what) {
    last_ = what;
    if (options_.trace) std::fprintf(stderr, "%llu: %s\n", (unsigned long long)step_, what.c_str());
  }

  void action() {
    const uint32_t kind = random_.below(100);
    if (kind < 30) setParameter();
    else if (kind < 62) dispatch();
    else if (kind < 70) restoreChunk();
    else if (kind < 74) restart();
    else if (kind < 99) audio();
    else if (random_.chance(20)) {
      trace("new instance");
      if (!makeInstance(a_, hostA_)) report("the entry point gave no instance");
    } else {
      audio();
    }
  }

  void setParameter() {
    int32_t index = random_.range(-5, 110);
    // The Global save writes a file to disk: now and then, not a third of
    // the time that index comes up.
    if (index == 65 && !random_.chance(30)) index = random_.range(0, 16);
    const float v = interestingValue(random_);
    trace("setParameter " + std::to_string(index) + " " + std::to_string(v));
    a_->setParameter(index, v);
    const float back = a_->getParameter(index);
    if (index >= 0 && index < kHostParameters && std::isfinite(v) && v >= 0.0f && v <= 1.0f && back != v)
      report("parameter " + std::to_string(index) + " set to " + std::to_string(v) + " reads " + std::to_string(back));
  }

  void dispatch() {
    const int32_t opcode = random_.range(-2, 82);
    if (opcode == effClose) return;  // the instance's end: a step of its own
    const int32_t index = random_.chance(4) ? random_.range(-5, 130) : (int32_t)random_.next();
    VstIntPtr value = random_.chance(3) ? (VstIntPtr)random_.range(-3, 3000) : (VstIntPtr)random_.next();
    float opt = interestingValue(random_) * (random_.chance(2) ? 96000.0f : 1.0f);
    // A large zero-terminated buffer of noise where the ABI puts a pointer.
    for (int i = 0; i < kTextBuffer - 1; ++i) text_[i] = (char)(random_.below(255) + 1);
    text_[random_.below(kTextBuffer)] = 0;
    text_[kTextBuffer - 1] = 0;
    void* ptr = text_.data();
    void* out = nullptr;
    ERect* rect = nullptr;
    VstSpeakerArrangement arrangements[2];
    VstSpeakerArrangement* arrangementOut[2] = {nullptr, nullptr};
    VstKeyCode key{};
    switch (opcode) {
      case effGetChunk: ptr = &out; break;
      case effSetChunk: {
        // The host's size never exceeds its data.
        value = random_.range(-4, 2000);
        break;
      }
      case effEditGetRect: ptr = &rect; break;
      case effEditOpen: ptr = nullptr; break;  // no window of ours to give
      case effSetSpeakerArrangement:
        for (auto& a : arrangements) {
          std::memset(&a, 0, sizeof a);
          a.type = random_.range(-2, 40);
          a.numChannels = random_.chance(2) ? random_.range(0, 3) : (VstInt32)random_.next();
        }
        value = random_.chance(8) ? 0 : (VstIntPtr)&arrangements[0];
        ptr = random_.chance(8) ? nullptr : &arrangements[1];
        break;
      case effGetSpeakerArrangement:
        value = (VstIntPtr)&arrangementOut[0];
        ptr = &arrangementOut[1];
        break;
      case effEditKeyDown:
      case effEditKeyUp:
        key.character = index;
        ptr = &key;
        break;
      case effCanDo: {
        static const char* const kWords[] = {"2in2out", "1in1out", "1in2out", "offline", "plugAsChannelInsert",
                                             "sendVstEvents", "receiveVstMidiEvent", "", "2in2ou", "2in2outX"};
        if (random_.chance(2)) std::snprintf(text_.data(), kTextBuffer, "%s", kWords[random_.below(10)]);
        break;
      }
      case effMainsChanged: value = random_.below(3); break;
      default: break;
    }
    if (random_.chance(40) && opcode != effGetSpeakerArrangement && opcode != effSetSpeakerArrangement) ptr = nullptr;
    trace("dispatch " + std::to_string(opcode) + " index " + std::to_string(index) + " value " +
          std::to_string((long long)value) + " opt " + std::to_string(opt));
    const bool textQuery = opcode == effGetParamLabel || opcode == effGetParamDisplay || opcode == effGetParamName;
    if (textQuery && ptr) std::memset(text_.data(), 0x55, kTextBuffer);
    const VstIntPtr answer = a_->dispatch(opcode, index, value, ptr, opt);
    if (textQuery && ptr && !std::memchr(text_.data(), 0, kParameterTextBytes))
      report("the text of opcode " + std::to_string(opcode) + " for index " + std::to_string(index) +
             " does not end within 24 bytes");
    if (opcode == effGetChunk && ptr && answer != kChunkBytes) report("effGetChunk answered " + std::to_string(answer));
    if (opcode == effGetChunk && ptr && !out) report("effGetChunk gave no data");
    if (opcode == effIdentify && answer != vstFourCC('N', 'v', 'E', 'f')) report("effIdentify changed");
    if (opcode == effGetProgram && answer != 0) report("effGetProgram is not 0");
  }

  void restoreChunk() {
    std::vector<unsigned char> data;
    if (random_.chance(2)) {
      data = a_->chunk();
      if (data.size() != (size_t)kChunkBytes) {
        report("the chunk is " + std::to_string(data.size()) + " bytes");
        return;
      }
      // Damage it: flipped bits, odd floats in the value slots, a new size.
      const int damage = random_.range(0, 8);
      for (int d = 0; d < damage; ++d) {
        const int at = random_.range(0, kChunkBytes - 4) & ~3;
        if (random_.chance(2)) {
          const float f = interestingValue(random_) * (random_.chance(4) ? 1e6f : 1.0f);
          std::memcpy(&data[at], &f, 4);
        } else {
          data[at + random_.below(4)] ^= (unsigned char)(1u << random_.below(8));
        }
      }
      data.resize((size_t)random_.range(0, 2000), (unsigned char)random_.below(256));
    } else {
      data.resize((size_t)random_.range(0, 2000));
      for (auto& byte : data) byte = (unsigned char)random_.below(256);
    }
    const bool preset = random_.chance(2);
    trace(std::string("restore ") + (preset ? "preset" : "bank") + " chunk of " + std::to_string(data.size()));
    a_->dispatch(effSetChunk, preset ? 1 : 0, (VstIntPtr)data.size(), data.empty() ? nullptr : data.data());
  }

  void restart() {
    static const float kRates[] = {44100, 48000, 88200, 96000, 192000, 22050, 8000, 0, -1, 1e9f, 384000};
    float rate = random_.chance(6) ? interestingValue(random_) * 100000.0f : kRates[random_.below(11)];
    const VstIntPtr block = random_.chance(4) ? (VstIntPtr)random_.next() : random_.range(-1, 8192);
    trace("suspend, rate " + std::to_string(rate) + " block " + std::to_string((long long)block) + ", resume");
    a_->dispatch(effMainsChanged, 0, 0);
    a_->dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    a_->dispatch(effSetBlockSize, 0, block);
    a_->dispatch(effMainsChanged, 0, 1);
  }

  void audio() {
    int frames = random_.chance(3) ? random_.range(1, 64) : random_.range(1, kMaxBlock);
    const double gain = random_.chance(10) ? 1000.0 : (random_.chance(3) ? 1e-20 : 1.0);
    bool finite = true;
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < frames; ++i) input_[c][i] = (float)((random_.unit() * 2.0 - 1.0) * gain);
    }
    if (random_.chance(25)) {
      static const float kBad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity()};
      const int count = random_.range(1, 4);
      for (int k = 0; k < count; ++k) input_[random_.below(2)][random_.below((uint32_t)frames)] = kBad[random_.below(3)];
      finite = false;
    }
    float* ins[2] = {input_[0].data(), input_[1].data()};
    float* outs[2] = {output_[0].data(), output_[1].data()};
    const uint32_t layout = random_.below(8);
    if (layout == 0) outs[0] = ins[0], outs[1] = ins[1];  // in place
    if (layout == 1) ins[1] = ins[0];                      // one input for both
    if (layout == 2) outs[1] = outs[0];                    // one output buffer
    // Outputs start as silence. An output the plug-in was told is not in use
    // (a mono speaker arrangement, say) is left as the host gave it, which
    // is right: what must be finite is what the plug-in writes, not what an
    // earlier block with NaN input left in a buffer it no longer touches.
    for (int c = 0; c < 2; ++c) {
      if (outs[c] != ins[0] && outs[c] != ins[1]) std::fill(outs[c], outs[c] + frames, 0.0f);
    }
    trace("audio " + std::to_string(frames) + " frames, layout " + std::to_string(layout) + (finite ? "" : ", with NaN/inf"));
    a_->process(ins, outs, frames);
    if (finite && (!allFinite(outs[0], frames) || !allFinite(outs[1], frames)))
      report("finite input gave output that is not finite");
  }

  void check() {
    for (int i = 0; i < kHostParameters; ++i) {
      const float v = a_->getParameter(i);
      if (!(v >= 0.0f && v <= 1.0f)) {
        report("parameter " + std::to_string(i) + " reads " + std::to_string(v));
        return;
      }
    }
    // A text of any parameter, into a buffer with no zero in it.
    const int32_t index = random_.range(-2, 105);
    static const VstInt32 kTexts[] = {effGetParamLabel, effGetParamDisplay, effGetParamName};
    const VstInt32 opcode = kTexts[random_.below(3)];
    std::memset(scratch_.data(), 0x55, kTextBuffer);
    a_->dispatch(opcode, index, 0, scratch_.data());
    if (!std::memchr(scratch_.data(), 0, kParameterTextBytes)) {
      report("the text of opcode " + std::to_string(opcode) + " for index " + std::to_string(index) +
             " does not end within 24 bytes");
      return;
    }
    // What a project stores restores into another instance as it was.
    const std::vector<unsigned char> saved = a_->chunk();
    if (saved.size() != (size_t)kChunkBytes) {
      report("the chunk is " + std::to_string(saved.size()) + " bytes");
      return;
    }
    b_->dispatch(effSetChunk, random_.below(2), (VstIntPtr)saved.size(), (void*)saved.data());
    const std::vector<unsigned char> again = b_->chunk();
    if (again.size() != saved.size()) {
      report("the restored chunk is " + std::to_string(again.size()) + " bytes");
      return;
    }
    for (int at = 0; at < kChunkBytes; at += 4) {
      if (std::memcmp(&saved[at], &again[at], 4) == 0) continue;
      float was, is;
      std::memcpy(&was, &saved[at], 4);
      std::memcpy(&is, &again[at], 4);
      if (isRmsTimeOffset(at) && is == knobPosition(was)) continue;
      uint32_t isBits, wasBits;
      std::memcpy(&isBits, &again[at], 4);
      std::memcpy(&wasBits, &saved[at], 4);
      char what[160];
      std::snprintf(what, sizeof what, "chunk bytes %d..%d read %g (%08x) after restoring %g (%08x)", at, at + 3,
                    (double)is, (unsigned)isBits, (double)was, (unsigned)wasBits);
      report(what);
      return;
    }
    // Now and then a fresh second instance, as a host that loads the project anew.
    if (random_.chance(2000) && !makeInstance(b_, hostB_)) report("the entry point gave no instance");
  }

  void* entry_;
  Options options_;
  Random random_;
  vsthost::HostState hostA_, hostB_;
  std::unique_ptr<vsthost::Plugin> a_, b_;
  std::vector<float> input_[2], output_[2];
  std::vector<char> text_, scratch_;
  uint64_t step_ = 0;
  std::string failure_;
  std::string last_ = "nothing yet";
};

}  // namespace

Result run(void* entry, const Options& options) {
  Run r(entry, options);
  return r.go();
}

}  // namespace fuzz
