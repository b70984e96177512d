// The DirectWrite loaders that read the font out of the module's resources:
// what each call answers, and that counts and the factory's registrations
// come back to where they started.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "controls/ResourceFontLoaders.h"
#include "toolkit/win32/d2ddrawcontext.h"

using namespace VSTGUI;

namespace {

HMODULE self() { return GetModuleHandleW(nullptr); }

template <class T>
void release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

}  // namespace

TEST(ResourceFontLoaders, AnswerEachCallWithItsReturnCode) {
  IDWriteFactory* factory = getDWriteFactory();
  ASSERT_NE(factory, nullptr);
  int32_t liveBefore = liveResourceFontObjects();
  auto* fileLoader = new ResourceFontFileLoader(self());
  auto* collectionLoader = new ResourceFontCollectionLoader(fileLoader);
  HRSRC res = FindResourceW(self(), MAKEINTRESOURCEW(111), MAKEINTRESOURCEW(8));
  ASSERT_NE(res, nullptr) << "the test program carries the font as resource 111";
  const UINT64 fontSize = SizeofResource(self(), res);

  const uint32_t ids[2] = {111, 111};
  const uint8_t fiveBytes[5] = {111, 0, 0, 0, 0};
  const uint64_t eightBytes = 111;
  const uint32_t missing = 4242, notAnId = 0x10000;

  struct Case {
    const char* what;
    std::function<HRESULT()> call;
    HRESULT expected;
  };
  auto enumerate = [&](const void* key, UINT32 size) {
    IDWriteFontFileEnumerator* e = nullptr;
    HRESULT hr = collectionLoader->CreateEnumeratorFromKey(factory, key, size, &e);
    if (SUCCEEDED(hr) && !e) hr = E_POINTER;
    release(e);
    return hr;
  };
  auto open = [&](const void* key, UINT32 size) {
    IDWriteFontFileStream* s = reinterpret_cast<IDWriteFontFileStream*>(1);
    HRESULT hr = fileLoader->CreateStreamFromKey(key, size, &s);
    if (FAILED(hr) && s) return E_UNEXPECTED;  // a failure hands out nothing
    release(s);
    return hr;
  };
  IDWriteFontFileStream* stream = nullptr;
  ASSERT_EQ(fileLoader->CreateStreamFromKey(&ids[0], 4, &stream), S_OK);
  auto read = [&](UINT64 offset, UINT64 size) {
    const void* start = reinterpret_cast<const void*>(1);
    void* context = reinterpret_cast<void*>(1);
    HRESULT hr = stream->ReadFileFragment(&start, offset, size, &context);
    if (context) return E_UNEXPECTED;
    if (FAILED(hr) && start) return E_UNEXPECTED;
    return hr;
  };
  const Case cases[] = {
      {"collection key of one identifier", [&] { return enumerate(ids, 4); }, S_OK},
      {"collection key of two identifiers", [&] { return enumerate(ids, 8); }, S_OK},
      {"empty collection key", [&] { return enumerate(ids, 0); }, S_OK},
      {"collection key of 5 bytes", [&] { return enumerate(fiveBytes, 5); }, E_INVALIDARG},
      {"collection key of 3 bytes", [&] { return enumerate(fiveBytes, 3); }, E_INVALIDARG},
      {"collection key null with a size", [&] { return enumerate(nullptr, 4); }, E_INVALIDARG},
      {"file key of 4 bytes", [&] { return open(&ids[0], 4); }, S_OK},
      {"file key of 8 bytes", [&] { return open(&eightBytes, 8); }, E_INVALIDARG},
      {"file key of 0 bytes", [&] { return open(&ids[0], 0); }, E_INVALIDARG},
      {"file key of a missing resource", [&] { return open(&missing, 4); }, E_FAIL},
      {"file key beyond the identifiers", [&] { return open(&notAnId, 4); }, E_FAIL},
      {"fragment at the start", [&] { return read(0, 16); }, S_OK},
      {"fragment of the whole file", [&] { return read(0, fontSize); }, S_OK},
      {"fragment at offset = size, size 0", [&] { return read(fontSize, 0); }, S_OK},
      {"fragment at offset = size, size 1", [&] { return read(fontSize, 1); }, E_FAIL},
      {"fragment one byte past the end", [&] { return read(fontSize - 4, 5); }, E_FAIL},
      {"fragment whose end wraps around", [&] { return read(8, ~UINT64(0)); }, E_FAIL},
      {"file size", [&] {
         UINT64 n = 0;
         HRESULT hr = stream->GetFileSize(&n);
         return n == fontSize ? hr : E_UNEXPECTED;
       }, S_OK},
      {"last write time", [&] {
         UINT64 t = 99;
         HRESULT hr = stream->GetLastWriteTime(&t);
         return t == 0 ? hr : E_UNEXPECTED;
       }, E_NOTIMPL},
  };
  for (const Case& c : cases) EXPECT_EQ(c.call(), c.expected) << c.what;

  // The bytes handed out are the resource's own.
  const void* start = nullptr;
  void* context = nullptr;
  ASSERT_EQ(stream->ReadFileFragment(&start, 0, 4, &context), S_OK);
  const void* resource = LockResource(LoadResource(self(), res));
  EXPECT_EQ(start, resource);
  EXPECT_EQ(std::memcmp(start, "\0\1\0\0", 4), 0) << "a TrueType file";
  release(stream);

  collectionLoader->Release();
  fileLoader->Release();
  EXPECT_EQ(liveResourceFontObjects(), liveBefore) << "every object went with its last reference";
}

TEST(ResourceFontLoaders, AnswerOnlyTheirOwnInterfaces) {
  auto* fileLoader = new ResourceFontFileLoader(self());
  struct Case {
    IUnknown* object;
    IID own;
  } cases[] = {
      {fileLoader, __uuidof(IDWriteFontFileLoader)},
      {new ResourceFontCollectionLoader(fileLoader), __uuidof(IDWriteFontCollectionLoader)},
  };
  for (const Case& c : cases) {
    void* out = nullptr;
    EXPECT_EQ(c.object->QueryInterface(__uuidof(IUnknown), &out), S_OK);
    EXPECT_EQ(out, c.object);
    static_cast<IUnknown*>(out)->Release();
    EXPECT_EQ(c.object->QueryInterface(c.own, &out), S_OK);
    static_cast<IUnknown*>(out)->Release();
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(c.object->QueryInterface(__uuidof(IDWriteFontFileStream), &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  cases[1].object->Release();
  // AddRef and Release report the count they leave.
  EXPECT_EQ(fileLoader->AddRef(), 2u);
  EXPECT_EQ(fileLoader->Release(), 1u);
  EXPECT_EQ(fileLoader->Release(), 0u);
}

TEST(ResourceFontLoaders, TheEnumeratorWalksTheKeysFilesThroughTheFactory) {
  IDWriteFactory* factory = getDWriteFactory();
  ASSERT_NE(factory, nullptr);
  int32_t liveBefore = liveResourceFontObjects();
  auto* fileLoader = new ResourceFontFileLoader(self());
  auto* collectionLoader = new ResourceFontCollectionLoader(fileLoader);
  ASSERT_EQ(factory->RegisterFontFileLoader(fileLoader), S_OK);
  ASSERT_EQ(factory->RegisterFontCollectionLoader(collectionLoader), S_OK);
  EXPECT_NE(factory->RegisterFontFileLoader(fileLoader), S_OK) << "a loader is registered once";

  const uint32_t ids[2] = {111, 111};
  IDWriteFontFileEnumerator* e = nullptr;
  ASSERT_EQ(collectionLoader->CreateEnumeratorFromKey(factory, ids, 8, &e), S_OK);
  IDWriteFontFile* file = nullptr;
  EXPECT_EQ(e->GetCurrentFontFile(&file), E_FAIL) << "nothing before the first MoveNext";
  EXPECT_EQ(file, nullptr);
  int files = 0;
  BOOL has = FALSE;
  while (SUCCEEDED(e->MoveNext(&has)) && has) {
    ASSERT_EQ(e->GetCurrentFontFile(&file), S_OK);
    BOOL supported = FALSE;
    DWRITE_FONT_FILE_TYPE fileType;
    DWRITE_FONT_FACE_TYPE faceType;
    UINT32 faces = 0;
    EXPECT_EQ(file->Analyze(&supported, &fileType, &faceType, &faces), S_OK);
    EXPECT_TRUE(supported);
    EXPECT_EQ(faces, 1u);
    release(file);
    ++files;
  }
  EXPECT_EQ(files, 2);
  EXPECT_EQ(e->GetCurrentFontFile(&file), E_FAIL) << "nothing after the last";
  release(e);

  // The collection DirectWrite builds from the key holds the face by name.
  IDWriteFontCollection* collection = nullptr;
  ASSERT_EQ(factory->CreateCustomFontCollection(collectionLoader, ids, 4, &collection), S_OK);
  UINT32 index = 0;
  BOOL exists = FALSE;
  EXPECT_EQ(collection->FindFamilyName(L"ZELOrvane", &index, &exists), S_OK);
  EXPECT_TRUE(exists);
  release(collection);

  EXPECT_EQ(factory->UnregisterFontCollectionLoader(collectionLoader), S_OK);
  EXPECT_EQ(factory->UnregisterFontFileLoader(fileLoader), S_OK);
  collectionLoader->Release();
  fileLoader->Release();
  EXPECT_EQ(liveResourceFontObjects(), liveBefore) << "the factory let go of everything";
}
#endif
