#include "event_sink.h"

#include "support/win32/variant.h"
#include "text.h"

namespace vorlane::host {
namespace {

// The members of _DvorlaneEvents by DISPID.
std::u16string EventName(DISPID id) {
  if (id == 1) return u"OnClientMessage";
  std::u16string name = u"#";
  for (char digit : std::to_string(id)) name += static_cast<char16_t>(digit);
  return name;
}

std::u16string ArgumentText(const VARIANT& arg) {
  Variant text;
  if (V_VT(&arg) == VT_BSTR) return FromWide(V_BSTR(&arg));
  if (FAILED(VariantChangeType(text.Get(), const_cast<VARIANT*>(&arg), VARIANT_ALPHABOOL, VT_BSTR))) return u"?";
  return FromWide(V_BSTR(text.Get()));
}

}  // namespace

std::vector<ReceivedEvent> EventSink::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_)
    return Answer(static_cast<IDispatch*>(this), out);
  return E_NOINTERFACE;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventSink::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO*, UINT*) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  try {
    Record(id, params);
  } catch (...) {  // nothing may escape into the control
    return E_OUTOFMEMORY;
  }
  if (result) VariantInit(result);
  return S_OK;
}

void EventSink::Record(DISPID id, const DISPPARAMS* params) {
  ReceivedEvent event{id, EventName(id), {}};
  if (params) {
    // Arguments arrive last first.
    for (UINT i = params->cArgs; i > 0; --i) event.args.push_back(ArgumentText(params->rgvarg[i - 1]));
  }
  {
    std::lock_guard lock(mutex_);
    received_.push_back(event);
  }
  if (observer_) observer_(event);
}

std::string EventLine(const ReceivedEvent& event) {
  std::string line = "event " + Utf8(event.name);
  for (const auto& arg : event.args) line += " " + Quote(arg);
  return line;
}

}  // namespace vorlane::host
