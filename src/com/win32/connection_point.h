#pragma once
// One connection point of a control: the sinks advised on one interface. It
// lives inside the control and shares the control's reference count.
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "support/win32/com_ptr.h"

namespace vorlane {

class ConnectionPoint : public IConnectionPoint {
 public:
  // container is the owning control; iid the interface sinks must offer.
  // Dispatch-based points also accept a sink that offers only IDispatch.
  ConnectionPoint(IConnectionPointContainer* container, const IID& iid, bool dispatchBased)
      : container_(container), iid_(iid), dispatchBased_(dispatchBased) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_->Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

  const IID& Iid() const { return iid_; }
  // A copy, so a sink may unadvise while the others are being called.
  std::vector<ComPtr<IUnknown>> Sinks() const;
  // Drops every sink (the control is closing).
  void Clear() { connections_.clear(); }

 private:
  struct Connection {
    DWORD cookie;
    ComPtr<IUnknown> sink;
  };
  IConnectionPointContainer* container_;
  IID iid_;
  bool dispatchBased_;
  DWORD nextCookie_ = 1;
  std::vector<Connection> connections_;
};

// IEnumConnectionPoints over the points of one container.
HRESULT CreateConnectionPointEnumerator(IUnknown* owner, const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** out);

}  // namespace vorlane
