// What crosses the C boundary to the host: never an exception, and the
// Global save as one batch for the registry service.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "tests/core/EffectTestSupport.h"

using namespace orvane_test;

namespace {

// An editor whose every window operation fails the way memory running out
// would fail it, as the toolkit's allocations inside open() and idle() can.
class ThrowingEditor : public AEffEditor {
 public:
  explicit ThrowingEditor(AudioEffect* effect) : AEffEditor(effect) {}
  bool getRect(ERect**) override { throw std::bad_alloc(); }
  bool open(void*) override { throw std::bad_alloc(); }
  void idle() override { throw std::runtime_error("idle"); }
  bool onKeyDown(VstKeyCode&) override { throw std::bad_alloc(); }
  void setParameter(VstInt32, float) override { throw std::bad_alloc(); }
};

AEffEditor* makeThrowingEditor(Templete* effect) { return new ThrowingEditor(effect); }
AEffEditor* failToMakeEditor(Templete*) { throw std::bad_alloc(); }

struct FactoryScope {
  explicit FactoryScope(EditorFactory f) { Templete::setEditorFactory(f); }
  ~FactoryScope() { Templete::setEditorFactory(nullptr); }
};

// A registry that records how the Global save reaches it, or throws.
struct BatchRecordingRegistry : orvane::MemoryRegistry {
  std::vector<std::vector<std::string>> batches;
  bool throwOnWrite = false;
  bool writeBinary4(const char* name, const unsigned char bytes[4]) override {
    if (throwOnWrite) throw std::bad_alloc();
    return MemoryRegistry::writeBinary4(name, bytes);
  }
  bool writeBinary4Values(const orvane::Binary4Value* values, std::size_t count) override {
    batches.emplace_back();
    for (std::size_t i = 0; i < count; ++i) batches.back().push_back(values[i].name);
    return RegistryService::writeBinary4Values(values, count);
  }
};

}  // namespace

TEST(HostBoundary, AnEditorThatCannotBeMadeLeavesAnInstanceWithoutOne) {
  FactoryScope scope(&failToMakeEditor);
  EffectFixture f;
  EXPECT_EQ(f.effect->getAeffect()->flags, 0x30);
  ERect* rect = nullptr;
  EXPECT_EQ(f.dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(f.dispatch(effEditOpen), 0);
}

TEST(HostBoundary, NoExceptionFromBelowReachesTheHostThroughAnyThunk) {
  FactoryScope scope(&makeThrowingEditor);
  EffectFixture f;
  AEffect* e = f.effect->getAeffect();
  ERect* rect = nullptr;
  VstKeyCode key{};
  // Each of these throws below the thunk; the host sees a refused call.
  EXPECT_EQ(f.dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(f.dispatch(effEditOpen), 0);
  EXPECT_EQ(f.dispatch(effEditIdle), 0);
  EXPECT_EQ(f.dispatch(effEditKeyDown, 'a', 0, &key), 0);
  EXPECT_NO_THROW(e->setParameter(e, 1, 0.25f));  // the echo to the editor throws
  EXPECT_FLOAT_EQ(e->getParameter(e, 1), 0.25f);
  EXPECT_EQ(f.dispatch(effIdentify), vstFourCC('N', 'v', 'E', 'f'));
}

TEST(HostBoundary, TheGlobalSaveIsOneBatchOfAllTwentySevenSettingsInOrder) {
  BatchRecordingRegistry registry;
  orvane::SharedSettings shared{registry};
  RecordingHost host;
  RecordingHost::current() = &host;
  {
    Templete effect(&RecordingHost::callback, shared);
    AEffect* e = effect.getAeffect();
    e->setParameter(e, 65, 1.0f);
    ASSERT_EQ(registry.batches.size(), 1u);
    ASSERT_EQ(registry.batches[0].size(), 27u);
    for (int slot = 0; slot < 27; ++slot)
      EXPECT_EQ(registry.batches[0][slot], orvane::meterSettingBySlot(slot).registryName) << slot;
    EXPECT_EQ(registry.writes, 27);  // the Windows registry's way: one value at a time
    // A registry that throws while saving leaves a working instance.
    registry.throwOnWrite = true;
    EXPECT_NO_THROW(e->setParameter(e, 65, 1.0f));
    EXPECT_FLOAT_EQ(e->getParameter(e, 83), shared.storeValue(orvane::kScopeGlobal, 83));
  }
  RecordingHost::current() = nullptr;
}

namespace {
int gLastClosedCalls = 0;
int gInstancesSeenByHandler = -1;
void countLastClosed() {
  ++gLastClosedCalls;
  gInstancesSeenByHandler = AudioEffect::liveInstances();
}
void throwOnLastClosed() { throw std::bad_alloc(); }
struct HandlerScope {
  explicit HandlerScope(AudioEffect::LastInstanceClosedHandler h) {
    gLastClosedCalls = 0;
    AudioEffect::setLastInstanceClosedHandler(h);
  }
  ~HandlerScope() { AudioEffect::setLastInstanceClosedHandler(nullptr); }
};
}  // namespace

// The library-wide clean-up runs once the host has closed every instance,
// not before (another instance may still have its window open), and once
// per time the count reaches none; one that throws still closes.
TEST(HostBoundary, TheLastInstanceClosedHandlerRunsWhenTheHostClosesTheLastInstance) {
  HandlerScope scope(&countLastClosed);
  orvane::MemoryRegistry registry;
  orvane::SharedSettings shared{registry};
  const int before = AudioEffect::liveInstances();
  ASSERT_EQ(before, 0) << "no instance may outlive its test";
  auto close = [](Templete* t) {
    AEffect* e = t->getAeffect();
    return e->dispatcher(e, effClose, 0, 0, nullptr, 0);
  };
  Templete* a = new Templete(nullptr, shared);
  Templete* b = new Templete(nullptr, shared);
  EXPECT_EQ(AudioEffect::liveInstances(), 2);
  EXPECT_EQ(close(a), 1);
  EXPECT_EQ(gLastClosedCalls, 0) << "an instance is still open";
  EXPECT_EQ(close(b), 1);
  EXPECT_EQ(gLastClosedCalls, 1);
  EXPECT_EQ(gInstancesSeenByHandler, 0);
  // A new track after that: made and closed again, the handler runs again.
  EXPECT_EQ(close(new Templete(nullptr, shared)), 1);
  EXPECT_EQ(gLastClosedCalls, 2);

  AudioEffect::setLastInstanceClosedHandler(&throwOnLastClosed);
  EXPECT_EQ(close(new Templete(nullptr, shared)), 1);
  EXPECT_EQ(AudioEffect::liveInstances(), 0);
}
