#pragma once
// A sink for the control's events (_DvorlaneEvents): records every event with
// its arguments as text and reports it as an "event" line.
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "com/win32/com_object.h"

namespace vorlane::host {

struct ReceivedEvent {
  DISPID id = 0;
  std::u16string name;               // "OnClientMessage", or "#<id>" for an unknown one
  std::vector<std::u16string> args;  // in the order declared
};

class EventSink final : public ComObject<IDispatch> {
 public:
  using Observer = std::function<void(const ReceivedEvent&)>;
  EventSink(IID events, Observer observer) : events_(events), observer_(std::move(observer)) {}

  std::vector<ReceivedEvent> Received() const;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  void Record(DISPID id, const DISPPARAMS* params);

  const IID events_;
  const Observer observer_;
  mutable std::mutex mutex_;
  std::vector<ReceivedEvent> received_;
};

// The event line: event OnClientMessage "Connected"
std::string EventLine(const ReceivedEvent& event);

}  // namespace vorlane::host
