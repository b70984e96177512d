// Two instances of one session: a setting one of them changes reaches the
// other's project even while the other shows another meter (its panel
// never refreshed that engine), so reloading the project in any order
// keeps the change.
#include <gtest/gtest.h>

#include <vector>

#include "state/StateChunk.h"
#include "tests/core/EffectTestSupport.h"

using namespace orvane;
using orvane_test::EffectFixture;

namespace {

std::vector<unsigned char> chunkOf(Templete& e) {
  void* data = nullptr;
  AEffect* a = e.getAeffect();
  VstIntPtr size = a->dispatcher(a, effGetChunk, 0, 0, &data, 0);
  auto* bytes = static_cast<unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

void restore(Templete& e, std::vector<unsigned char> bytes) {
  AEffect* a = e.getAeffect();
  a->dispatcher(a, effSetChunk, 0, (VstIntPtr)bytes.size(), bytes.data(), 0);
}

}  // namespace

TEST(SessionChunk, CarriesTheSessionsSettingsOfEveryMeterAndReloadsInAnyOrder) {
  const VstInt32 settings[] = {72, 83, 93};  // the RMS, VU and PPM references
  for (VstInt32 index : settings) {
    EffectFixture f;
    auto second = f.another();
    f.effect->setParameter(kGSIcal, 0.5f);
    second->setParameter(kGSIcal, 0.5f);
    f.effect->setParameter(index, 0.625f);
    // The first instance's project, then the second's, which never showed
    // this meter since.
    const auto first = chunkOf(*f.effect);
    const auto other = chunkOf(*second);
    const int slot = meterSettingSlot(index);
    EXPECT_FLOAT_EQ(StateChunk::setting(other.data(), slot), 0.625f) << index;
    EXPECT_FLOAT_EQ(second->getParameter(index), 0.625f) << index;

    // A host reloads the project: first instance, then second.
    restore(*f.effect, first);
    restore(*second, other);
    EXPECT_FLOAT_EQ(f.shared.storeValue(kScopeSession, index), 0.625f) << index;
  }
}
