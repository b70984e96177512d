// DirectWrite loaders that read the embedded font straight out of the
// plug-in's resources, so the font needs no installation: a collection key
// is a list of 32-bit RT_FONT resource identifiers (little-endian), a file
// key is one of them. Windows only.
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <dwrite.h>

#include <atomic>
#include <cstdint>
#include <vector>

namespace VSTGUI {

// DirectWrite holds and releases these on its own terms, from whatever
// thread it likes, so every count is atomic.
template <class Interface>
class ResourceFontObject : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ResourceFontObject();
  virtual ~ResourceFontObject();

 private:
  std::atomic<ULONG> references{1};
};

// How many objects of the four classes below are alive: a leak check for
// the lifetime tests.
int32_t liveResourceFontObjects();

class ResourceFontFileStream : public ResourceFontObject<IDWriteFontFileStream> {
 public:
  ResourceFontFileStream(const void* bytes, UINT64 size) : bytes(static_cast<const uint8_t*>(bytes)), size(size) {}

  HRESULT STDMETHODCALLTYPE ReadFileFragment(const void** start, UINT64 offset, UINT64 fragmentSize,
                                             void** context) override;
  void STDMETHODCALLTYPE ReleaseFileFragment(void*) override {}
  HRESULT STDMETHODCALLTYPE GetFileSize(UINT64* fileSize) override;
  HRESULT STDMETHODCALLTYPE GetLastWriteTime(UINT64* writeTime) override;

 private:
  const uint8_t* bytes;
  UINT64 size;
};

class ResourceFontFileLoader : public ResourceFontObject<IDWriteFontFileLoader> {
 public:
  // module: whose RT_FONT resources the keys name.
  explicit ResourceFontFileLoader(HMODULE module) : module(module) {}

  HRESULT STDMETHODCALLTYPE CreateStreamFromKey(const void* key, UINT32 keySize,
                                                IDWriteFontFileStream** stream) override;

 private:
  HMODULE module;
};

class ResourceFontFileEnumerator : public ResourceFontObject<IDWriteFontFileEnumerator> {
 public:
  // Takes a reference on the factory and the file loader.
  ResourceFontFileEnumerator(IDWriteFactory* factory, IDWriteFontFileLoader* fileLoader,
                             std::vector<uint32_t> identifiers);

  HRESULT STDMETHODCALLTYPE MoveNext(BOOL* hasCurrentFile) override;
  HRESULT STDMETHODCALLTYPE GetCurrentFontFile(IDWriteFontFile** file) override;

 private:
  ~ResourceFontFileEnumerator() override;

  IDWriteFactory* factory;
  IDWriteFontFileLoader* fileLoader;
  std::vector<uint32_t> identifiers;
  size_t next = 0;
  IDWriteFontFile* current = nullptr;
};

class ResourceFontCollectionLoader : public ResourceFontObject<IDWriteFontCollectionLoader> {
 public:
  // Takes a reference on the file loader its enumerators hand out files of.
  explicit ResourceFontCollectionLoader(IDWriteFontFileLoader* fileLoader);

  HRESULT STDMETHODCALLTYPE CreateEnumeratorFromKey(IDWriteFactory* factory, const void* key, UINT32 keySize,
                                                    IDWriteFontFileEnumerator** enumerator) override;

 private:
  ~ResourceFontCollectionLoader() override;

  IDWriteFontFileLoader* fileLoader;
};

}  // namespace VSTGUI

#endif
