#include "com/win32/connection_point.h"

#include <olectl.h>

#include <algorithm>
#include <new>

#include "com/win32/com_object.h"
#include "support/win32/module_lock.h"
#include "com/win32/com_boundary.h"

namespace vorlane {
namespace {

// A snapshot enumerator. Items hold one reference each; Next hands out one
// more to the caller.
template <typename Enum, typename Item>
class Enumerator : public ComObject<Enum> {
 public:
  Enumerator(const IID& iid, IUnknown* owner, std::vector<Item> items, std::size_t position = 0)
      : iid_(iid), owner_(owner), items_(std::move(items)), position_(position) {
    for (Item& item : items_) Ref(item)->AddRef();
  }
  ~Enumerator() override {
    for (Item& item : items_) Ref(item)->Release();
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == iid_) {
      *out = static_cast<Enum*>(this);
      this->AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override {
    if (!out || (count != 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    for (; n < count && position_ < items_.size(); ++n, ++position_) {
      out[n] = items_[position_];
      Ref(out[n])->AddRef();
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    std::size_t left = items_.size() - position_;
    position_ += std::min<std::size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Enum** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return ComBoundary([&] {
      *out = new Enumerator(iid_, owner_.Get(), items_, position_);
      return S_OK;
    });
  }

 private:
  static IUnknown* Ref(IConnectionPoint* point) { return point; }
  static IUnknown* Ref(const CONNECTDATA& data) { return data.pUnk; }

  const IID& iid_;
  ComPtr<IUnknown> owner_;  // the control stays alive while enumerated
  std::vector<Item> items_;
  std::size_t position_;
  ModuleReference module_;
};

}  // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = container_;
  container_->AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IUnknown> offered;
  if (FAILED(sink->QueryInterface(iid_, offered.PutVoid())) &&
      !(dispatchBased_ && SUCCEEDED(sink->QueryInterface(IID_IDispatch, offered.PutVoid())))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  return ComBoundary([&] {
    connections_.push_back({nextCookie_, offered});
    *cookie = nextCookie_++;
    return S_OK;
  });
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  auto found = std::find_if(connections_.begin(), connections_.end(),
                            [cookie](const Connection& c) { return c.cookie == cookie; });
  if (found == connections_.end()) return CONNECT_E_NOCONNECTION;
  connections_.erase(found);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return ComBoundary([&] {
    std::vector<CONNECTDATA> items;
    for (const Connection& c : connections_) items.push_back({c.sink.Get(), c.cookie});
    *out = new Enumerator<IEnumConnections, CONNECTDATA>(IID_IEnumConnections, container_, std::move(items));
    return S_OK;
  });
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
  std::vector<ComPtr<IUnknown>> sinks;
  for (const Connection& c : connections_) sinks.push_back(c.sink);
  return sinks;
}

HRESULT CreateConnectionPointEnumerator(IUnknown* owner, const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return ComBoundary([&] {
    *out = new Enumerator<IEnumConnectionPoints, IConnectionPoint*>(IID_IEnumConnectionPoints, owner, points);
    return S_OK;
  });
}

}  // namespace vorlane
