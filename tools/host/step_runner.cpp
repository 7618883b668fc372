#include "step_runner.h"

#include "cookie_store.h"
#include "common/message_pump.h"
#include "text.h"

namespace vorlane::host {
namespace {

const char* TypeName(VARTYPE type) {
  switch (type) {
    case VT_EMPTY: return "VT_EMPTY";
    case VT_NULL: return "VT_NULL";
    case VT_I2: return "VT_I2";
    case VT_I4: return "VT_I4";
    case VT_BSTR: return "VT_BSTR";
    case VT_DISPATCH: return "VT_DISPATCH";
    case VT_ERROR: return "VT_ERROR";
    case VT_BOOL: return "VT_BOOL";
    case VT_UNKNOWN: return "VT_UNKNOWN";
    case VT_UI2: return "VT_UI2";
    case VT_UI4: return "VT_UI4";
    case VT_INT: return "VT_INT";
    case VT_UINT: return "VT_UINT";
    default: return nullptr;
  }
}

Variant PageObjectArgument(IUnknown* object) {
  Variant arg;
  V_VT(arg.Get()) = VT_DISPATCH;
  object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(arg.Get())));
  return arg;
}

Variant ToVariant(const StepArgument& step_arg, const FakePage& page) {
  Variant arg;
  switch (step_arg.kind) {
    case StepArgument::Kind::kText: return Variant::Text(Utf16(step_arg.text));
    case StepArgument::Kind::kInteger:
      V_VT(arg.Get()) = VT_I4;
      V_I4(arg.Get()) = static_cast<LONG>(step_arg.integer);
      return arg;
    case StepArgument::Kind::kBoolean:
      V_VT(arg.Get()) = VT_BOOL;
      V_BOOL(arg.Get()) = step_arg.boolean ? VARIANT_TRUE : VARIANT_FALSE;
      return arg;
    case StepArgument::Kind::kWindow: return PageObjectArgument(page.window().Get());
    case StepArgument::Kind::kLocation: return PageObjectArgument(page.location().Get());
    case StepArgument::Kind::kDocument: return PageObjectArgument(page.document().Get());
  }
  return arg;
}

}  // namespace

std::string DescribeValue(const VARIANT& value) {
  VARTYPE type = V_VT(&value);
  const char* name = TypeName(type);
  std::string described = name ? name : "VT_" + std::to_string(type);
  switch (type) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_DISPATCH:
    case VT_UNKNOWN: return described;
    case VT_BOOL: return described + (V_BOOL(&value) ? " true" : " false");
    case VT_BSTR: return described + " " + Quote(FromWide(V_BSTR(&value)));
    default: {
      Variant text;
      if (FAILED(VariantChangeType(text.Get(), const_cast<VARIANT*>(&value), 0, VT_BSTR))) return described;
      return described + " " + Utf8(FromWide(V_BSTR(text.Get())));
    }
  }
}

bool StepRunner::Run(const Step& step) {
  bool ran = true;
  switch (step.kind) {
    case Step::Kind::kCall: ran = Call(step); break;
    case Step::Kind::kWait: tests::PumpFor(step.milliseconds); break;
    case Step::Kind::kNotify: ran = Notify(step); break;
    case Step::Kind::kSave: ran = Save(); break;
    case Step::Kind::kCookies: ran = ListCookies(step); break;
    case Step::Kind::kRelease:
      control_.Release();
      transcript_.Add("released");
      break;
  }
  tests::PumpPending();
  return ran;
}

bool StepRunner::Fail(const std::string& what, HRESULT hr) {
  transcript_.Add("error " + what + " " + Hex(hr));
  return false;
}

bool StepRunner::Call(const Step& step) {
  std::vector<Variant> args;
  for (const auto& arg : step.args) args.push_back(ToVariant(arg, page_));
  if (transcript_.stamped()) transcript_.Add("calling " + step.name);
  CallResult call = control_.Call(Utf16(step.name), args);
  if (FAILED(call.hr)) return Fail(step.name, call.hr);
  transcript_.Add("result " + step.name + " " + DescribeValue(*call.value.Get()));
  return true;
}

// The foreign sender's check: the control must take no text from outside its
// own relay, so the page must see no event for it.
bool StepRunner::Notify(const Step& step) {
  std::size_t before = events_ ? events_->Received().size() : 0;
  HRESULT hr = control_.SendForeignNotification(step.text);
  if (FAILED(hr)) return Fail("notify", hr);
  tests::PumpPending();
  bool reached = events_ && events_->Received().size() != before;
  transcript_.Add("notify " + Quote(Utf16(step.text)) + (reached ? " reached the page" : " ignored"));
  return !reached;
}

bool StepRunner::Save() {
  auto saved = ComPtr<PropertyBag>::Adopt(new PropertyBag);
  HRESULT hr = control_.Save(saved.Get());
  if (FAILED(hr)) return Fail("save", hr);
  for (const auto& entry : saved->Entries())
    transcript_.Add("property " + Utf8(entry.name) + " " + Quote(entry.text));
  return true;
}

bool StepRunner::ListCookies(const Step& step) {
  std::u16string url = step.text.empty() ? page_.address().href : Utf16(step.text);
  auto cookies = CookiesFor(url);
  if (cookies.empty()) transcript_.Add("cookies " + Quote(url) + " none");
  for (const auto& cookie : cookies) transcript_.Add("cookie " + Quote(url) + " " + Quote(cookie));
  return true;
}

}  // namespace vorlane::host
