// Memory running out while the host creates an instance: the shared object,
// loaded through its entry point alone, with every allocation it makes
// during VSTPluginMain failed in turn (the first, then the second, ...).
// The host must get either no instance or a working one, and never an
// exception. This program replaces the global allocation functions, which
// the plug-in's own allocations resolve to; so it is built natively only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "tests/support/PluginTest.h"
#include "tools/vsthost/VstHost.h"

namespace {

// While armed, the allocation numbered `gFailAt` (counting from 1) fails.
long gCount = 0;
long gFailAt = 0;
bool gArmed = false;
long gInjected = 0;

bool failNow() {
  if (!gArmed) return false;
  if (++gCount != gFailAt) return false;
  ++gInjected;
  return true;
}

void* allocate(std::size_t size) {
  if (failNow()) return nullptr;
  return std::malloc(size ? size : 1);
}

// Out of line, so that the compiler does not pair free() with new.
__attribute__((noinline)) void release(void* p) { std::free(p); }

using plugin_test::gPluginPath;

VstIntPtr VSTCALLBACK quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }

TEST(ConstructionOutOfMemory, EveryFailedAllocationGivesNoInstanceOrAWorkingOne) {
  vsthost::PluginLibrary library;
  ASSERT_TRUE(library.load(gPluginPath)) << library.error();
  typedef AEffect*(VSTCALLBACK * Entry)(audioMasterCallback);
  const Entry entry = reinterpret_cast<Entry>(library.vstPluginMain());
  ASSERT_NE(entry, nullptr);

  long refused = 0, withoutEditor = 0;
  for (long n = 1;; ++n) {
    ASSERT_LT(n, 100000) << "construction never stopped allocating";
    gCount = 0;
    gFailAt = n;
    gInjected = 0;
    gArmed = true;
    AEffect* effect = nullptr;
    try {
      effect = entry(quietHost);
    } catch (...) {
      gArmed = false;
      FAIL() << "an exception left VSTPluginMain when allocation " << n << " failed";
    }
    gArmed = false;
    const bool failed = gInjected > 0;
    if (!effect) {
      EXPECT_TRUE(failed) << "no instance although allocation " << n << " succeeded";
      ++refused;
      continue;
    }
    // A working instance: audio passes, the chunk reads, it closes.
    ASSERT_EQ(effect->magic, kEffectMagic) << n;
    ERect* rect = nullptr;
    if (failed && effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0) == 0) ++withoutEditor;
    float in[64], out[2][64];
    for (int i = 0; i < 64; ++i) in[i] = 0.01f * i;
    float* ins[2] = {in, in};
    float* outs[2] = {out[0], out[1]};
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0);
    effect->processReplacing(effect, ins, outs, 64);
    EXPECT_EQ(0, std::memcmp(out[0], in, sizeof in)) << n;
    void* chunk = nullptr;
    EXPECT_EQ(effect->dispatcher(effect, effGetChunk, 0, 0, &chunk, 0), 596) << n;
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0), 1) << n;
    if (!failed) {
      // Allocation n was past the last one of construction: every one
      // before it has been failed once.
      EXPECT_GT(n, 5) << "suspiciously few allocations";
      break;
    }
  }
  EXPECT_GT(refused, 0);
  std::printf("failed each allocation of construction in turn: %ld refused the instance, %ld gave one without editor\n",
              refused, withoutEditor);
}

int main(int argc, char** argv) { return plugin_test::runTests(argc, argv, "plugin_out_of_memory_tests", {}); }
