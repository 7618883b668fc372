// IPersistStreamInit, IPersistPropertyBag and IPersistStorage: the same
// property exchange, into a page's property bag or a versioned binary record.
#include <vector>

#include "com/property_record.h"
#include "com/win32/com_boundary.h"
#include "com/win32/control_base.h"
#include "com/win32/property_bag_store.h"

namespace vorlane {
namespace {

constexpr wchar_t kContentsStream[] = L"Contents";
constexpr ULONG kMaxRecordBytes = 1 << 20;

HRESULT ReadExactly(IStream* stream, void* data, ULONG size) {
  ULONG read = 0;
  HRESULT hr = stream->Read(data, size, &read);
  if (FAILED(hr)) return hr;
  return read == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteExactly(IStream* stream, const void* data, ULONG size) {
  ULONG written = 0;
  HRESULT hr = stream->Write(data, size, &written);
  if (FAILED(hr)) return hr;
  return written == size ? S_OK : STG_E_WRITEFAULT;
}

}  // namespace

STDMETHODIMP ControlBase::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = *description_.clsid;
  return S_OK;
}

STDMETHODIMP ControlBase::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP ControlBase::InitNew() {
  HRESULT hr = ComBoundary([&] {
    OnResetState();
    return S_OK;
  });
  if (SUCCEEDED(hr)) initialised_ = true;
  return hr;
}

STDMETHODIMP ControlBase::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  ULONG size = 0;
  HRESULT hr = ReadExactly(stream, &size, sizeof(size));
  if (FAILED(hr)) return hr;
  if (size > kMaxRecordBytes) return STG_E_READFAULT;
  return ComBoundary([&] {
    std::vector<std::uint8_t> bytes(size);
    HRESULT read = ReadExactly(stream, bytes.data(), size);
    if (FAILED(read)) return read;
    std::optional<PropertyRecord> record = PropertyRecord::Deserialize(bytes);
    if (!record) return STG_E_READFAULT;
    return LoadFrom(*record);
  });
}

STDMETHODIMP ControlBase::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  return ComBoundary([&] {
    PropertyRecord record;
    HRESULT hr = SaveTo(record);
    if (FAILED(hr)) return hr;
    std::vector<std::uint8_t> bytes = record.Serialize();
    ULONG size = ULONG(bytes.size());
    hr = WriteExactly(stream, &size, sizeof(size));
    if (SUCCEEDED(hr)) hr = WriteExactly(stream, bytes.data(), size);
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
  });
}

STDMETHODIMP ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  return ComBoundary([&] {
    PropertyRecord record;
    HRESULT hr = SaveTo(record);
    if (FAILED(hr)) return hr;
    size->QuadPart = sizeof(ULONG) + record.Serialize().size();
    return S_OK;
  });
}

STDMETHODIMP ControlBase::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  PropertyBagStore store(bag, log);
  return LoadFrom(store);
}

STDMETHODIMP ControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (!bag) return E_POINTER;
  PropertyBagStore store(bag, nullptr);
  HRESULT hr = SaveTo(store);
  if (SUCCEEDED(hr)) hr = store.WriteResult();
  if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
  return hr;
}

STDMETHODIMP ControlBase::InitNew(IStorage*) { return InitNew(); }

STDMETHODIMP ControlBase::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Put());
  if (FAILED(hr)) return hr;
  return Load(stream.Get());
}

STDMETHODIMP ControlBase::Save(IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                     stream.Put());
  if (FAILED(hr)) return hr;
  return Save(stream.Get(), TRUE);
}

STDMETHODIMP ControlBase::SaveCompleted(IStorage*) { return S_OK; }
STDMETHODIMP ControlBase::HandsOffStorage() { return S_OK; }

}  // namespace vorlane
