#include "controls/ResourceFontLoaders.h"

#include <cstring>
#include <new>

namespace VSTGUI {

namespace {
std::atomic<int32_t> gLiveObjects{0};
}

int32_t liveResourceFontObjects() { return gLiveObjects.load(); }

template <class Interface>
ResourceFontObject<Interface>::ResourceFontObject() {
  ++gLiveObjects;
}

template <class Interface>
ResourceFontObject<Interface>::~ResourceFontObject() {
  --gLiveObjects;
}

template <class Interface>
HRESULT STDMETHODCALLTYPE ResourceFontObject<Interface>::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(Interface))) {
    *object = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

template class ResourceFontObject<IDWriteFontFileStream>;
template class ResourceFontObject<IDWriteFontFileLoader>;
template class ResourceFontObject<IDWriteFontFileEnumerator>;
template class ResourceFontObject<IDWriteFontCollectionLoader>;

// --- stream ------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ResourceFontFileStream::ReadFileFragment(const void** start, UINT64 offset,
                                                                   UINT64 fragmentSize, void** context) {
  if (context) *context = nullptr;
  if (!start) return E_INVALIDARG;
  // Written so that no sum can wrap: a fragment ending exactly at the end
  // of the file (an empty one at the very end included) is inside it.
  if (offset > size || fragmentSize > size - offset) {
    *start = nullptr;
    return E_FAIL;
  }
  *start = bytes + offset;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ResourceFontFileStream::GetFileSize(UINT64* fileSize) {
  if (!fileSize) return E_INVALIDARG;
  *fileSize = size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ResourceFontFileStream::GetLastWriteTime(UINT64* writeTime) {
  // A resource has no time of its own; DirectWrite then goes without one.
  if (writeTime) *writeTime = 0;
  return E_NOTIMPL;
}

// --- file loader -------------------------------------------------------------

HRESULT STDMETHODCALLTYPE ResourceFontFileLoader::CreateStreamFromKey(const void* key, UINT32 keySize,
                                                                      IDWriteFontFileStream** stream) {
  if (!stream) return E_INVALIDARG;
  *stream = nullptr;
  if (!key || keySize != sizeof(uint32_t)) return E_INVALIDARG;
  uint32_t id;
  std::memcpy(&id, key, sizeof id);
  if (id == 0 || id > 0xffff) return E_FAIL;  // not an integer resource identifier
  HRSRC res = module ? FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(8)) : nullptr;
  HGLOBAL loaded = res ? LoadResource(module, res) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  DWORD size = res ? SizeofResource(module, res) : 0;
  if (!bytes || !size) return E_FAIL;
  auto* s = new (std::nothrow) ResourceFontFileStream(bytes, size);
  if (!s) return E_OUTOFMEMORY;
  *stream = s;
  return S_OK;
}

// --- enumerator --------------------------------------------------------------

ResourceFontFileEnumerator::ResourceFontFileEnumerator(IDWriteFactory* factory, IDWriteFontFileLoader* fileLoader,
                                                       std::vector<uint32_t> identifiers)
    : factory(factory), fileLoader(fileLoader), identifiers(std::move(identifiers)) {
  if (factory) factory->AddRef();
  if (fileLoader) fileLoader->AddRef();
}

ResourceFontFileEnumerator::~ResourceFontFileEnumerator() {
  if (current) current->Release();
  if (fileLoader) fileLoader->Release();
  if (factory) factory->Release();
}

HRESULT STDMETHODCALLTYPE ResourceFontFileEnumerator::MoveNext(BOOL* hasCurrentFile) {
  if (!hasCurrentFile) return E_INVALIDARG;
  *hasCurrentFile = FALSE;
  if (current) {
    current->Release();
    current = nullptr;
  }
  if (next >= identifiers.size() || !factory || !fileLoader) return S_OK;
  uint32_t key = identifiers[next++];
  HRESULT hr = factory->CreateCustomFontFileReference(&key, sizeof key, fileLoader, &current);
  if (FAILED(hr)) {
    current = nullptr;
    return hr;
  }
  *hasCurrentFile = current != nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ResourceFontFileEnumerator::GetCurrentFontFile(IDWriteFontFile** file) {
  if (!file) return E_INVALIDARG;
  *file = current;
  if (!current) return E_FAIL;
  current->AddRef();
  return S_OK;
}

// --- collection loader -------------------------------------------------------

ResourceFontCollectionLoader::ResourceFontCollectionLoader(IDWriteFontFileLoader* fileLoader)
    : fileLoader(fileLoader) {
  if (fileLoader) fileLoader->AddRef();
}

ResourceFontCollectionLoader::~ResourceFontCollectionLoader() {
  if (fileLoader) fileLoader->Release();
}

HRESULT STDMETHODCALLTYPE ResourceFontCollectionLoader::CreateEnumeratorFromKey(
    IDWriteFactory* factory, const void* key, UINT32 keySize, IDWriteFontFileEnumerator** enumerator) {
  if (!enumerator) return E_INVALIDARG;
  *enumerator = nullptr;
  if (keySize % sizeof(uint32_t) != 0 || (keySize && !key) || !factory) return E_INVALIDARG;
  std::vector<uint32_t> ids;
  try {
    ids.resize(keySize / sizeof(uint32_t));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (keySize) std::memcpy(ids.data(), key, keySize);
  auto* e = new (std::nothrow) ResourceFontFileEnumerator(factory, fileLoader, std::move(ids));
  if (!e) return E_OUTOFMEMORY;
  *enumerator = e;
  return S_OK;
}

}  // namespace VSTGUI
