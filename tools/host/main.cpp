// vorlane-host: embeds the control in a window as a portal page does, and
// runs a list of steps against it, printing one line per happening.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "allowed_hosts_override.h"
#include "control/identifiers.h"
#include "demo_counterparts.h"
#include "dialog_watcher.h"
#include "event_sink.h"
#include "fake_page.h"
#include "object_params.h"
#include "hosted_control.h"
#include "registration.h"
#include "step_runner.h"
#include "text.h"
#include "transcript.h"
#include "unscripted_calls.h"

using namespace vorlane;
using namespace vorlane::host;

namespace {

constexpr char kHelp[] = R"(usage: vorlane-host [OPTION]... [STEP]...

Embeds the control in a window as a portal page does, gives it <param> values
and a page, runs the steps in order (pumping messages between them) and prints
one line per happening.

options:
  --register PATH      call DllRegisterServer in PATH first, as regsvr32 does;
                       alone (without steps) only registers
  --unregister PATH    call DllUnregisterServer in PATH, likewise
  --ocx PATH           load the control from PATH (LoadLibrary, DllGetClassObject)
                       instead of creating it through the registry
  --clsid {GUID}       the class to create (default: the control's)
  --param NAME=VALUE   a <param> of the <object> tag; repeatable. Without any the
                       control is initialised as new
  --page-file PATH     take the <param> values of the control's <object> in the
                       HTML page PATH (before any --param)
  --allowed-hosts LIST set the machine's allow-list policy to LIST (hosts
                       separated by ';') before the control is created, and
                       put the earlier policy back when the run ends
  --page URL           the page's address (default https://gateway.example/portals/index.html)
  --cookie TEXT        the page's cookie string, as document.cookie gives it
                       (default: the page has none)
  --no-activate        do not activate the control in place (it gets no window)
  --gateway            run a gateway on 127.0.0.1 (ephemeral port) that serves a
                       fake client installer, and make the page one of its pages
  --login-gateway      run the gateway's certificate login endpoint on 127.0.0.1
                       (ephemeral port; it asks for a client certificate of its
                       test CA) and make the page one of its pages
  --client-cert        put the test CA's user certificate and its private key
                       into the current user's personal ("MY") store first,
                       and remove them when the run ends
  --local-client TEXT  run the local VPN client's status service on 127.0.0.1:8000,
                       answering "state" with TEXT; repeatable: the replies go in
                       order and the last one is repeated from then on
  --timestamps         begin each line with the milliseconds since the host
                       started, and show each call as it begins ("calling NAME")
  --help               this text

steps:
  call:NAME[:ARG]...   call a method by name (GetIDsOfNames with locale 0, Invoke);
                       ARG: window | location | document (the page's objects),
                       true | false, an integer, "text", or bare text
  wait:MS              pump messages for MS milliseconds
  notify:TEXT          send the control's window WM_USER+1 with the address of TEXT
                       (UTF-8) from another thread, as a sender outside the
                       control would; the control must ignore it (the step
                       fails if the page gets an event)
  save                 save the properties (IPersistPropertyBag::Save) and show them
  cookies[:URL]        show the cookies WinINet holds for URL (default: the page)
  release              release the control (it is released at the end anyway)
  A quoted text may hold \" \\ \n \r \t and \xNN (one byte). Outside quotes ':'
  separates arguments; notify and cookies take the rest of the step as it stands.

output lines:
  registered "PATH"                  created registry {CLSID} | created file "PATH"
  loaded params N | initialized new  activated window | activated windowless
  result NAME VT_BOOL false          error NAME 0x80020003
  event OnClientMessage "text"       navigate href "url" | navigate replace "url"
  messagebox "SSL VPN" "text"        dialog "caption"   (each dismissed with OK)
  notify "text" ignored | notify "text" reached the page
  property NAME "value"              cookie "url" "name=value" | cookies "url" none
  released
  with --gateway / --local-client:   gateway "https://127.0.0.1:PORT" serving "PATH"
  gateway request "GET ..." cookie "Varnex_SSLID=..."    started "command line"
  local client 127.0.0.1:8000 answering "TEXT"           local client received "state"
  with --login-gateway / --client-cert:  login gateway "https://127.0.0.1:PORT" asking for a client certificate
  client certificate "/CN=..." in the personal store
  gateway request "GET /certLogin HTTP/1.1" cookie "..." over TLSv1.2 client certificate "/CN=..." | none

example:
  vorlane-host --ocx vorlane.ocx --param ip=10.0.0.1 --param type=0 \
      --cookie "Varnex_SSLID=0123456789abcdef0123456789abcdef" \
      call:Run:window call:AboutBox save cookies

exit status: 0 when every step ran, 1 when one failed, 2 for a usage error.
)";

struct Options {
  std::vector<std::u16string> register_files;
  std::vector<std::u16string> unregister_files;
  ControlSource source{};
  std::vector<std::pair<std::u16string, std::u16string>> params;
  std::u16string page = u"https://gateway.example/portals/index.html";
  std::u16string page_file;
  std::optional<std::u16string> allowed_hosts;
  std::optional<std::u16string> cookie;
  bool activate = true;
  bool gateway = false;
  bool login_gateway = false;
  bool client_cert = false;
  bool timestamps = false;
  std::vector<std::string> local_client_replies;
  std::vector<Step> steps;
};

// Fills `options`; prints what is wrong and returns false on a usage error.
bool ParseOptions(const std::vector<std::u16string>& words, Options* options, bool* help) {
  options->source.clsid = *reinterpret_cast<const CLSID*>(&kControlClsid);
  for (size_t i = 0; i < words.size(); ++i) {
    const std::u16string& word = words[i];
    auto value = [&](std::u16string* out) {
      if (i + 1 >= words.size()) {
        std::fprintf(stderr, "vorlane-host: %s needs a value\n", Utf8(word).c_str());
        return false;
      }
      *out = words[++i];
      return true;
    };
    std::u16string text;
    if (word == u"--help" || word == u"-h") {
      *help = true;
    } else if (word == u"--register") {
      if (!value(&text)) return false;
      options->register_files.push_back(text);
    } else if (word == u"--unregister") {
      if (!value(&text)) return false;
      options->unregister_files.push_back(text);
    } else if (word == u"--ocx") {
      if (!value(&options->source.file)) return false;
    } else if (word == u"--clsid") {
      if (!value(&text)) return false;
      if (FAILED(CLSIDFromString(AsWide(text), &options->source.clsid))) {
        std::fprintf(stderr, "vorlane-host: not a class id: %s\n", Utf8(text).c_str());
        return false;
      }
    } else if (word == u"--param") {
      if (!value(&text)) return false;
      size_t equals = text.find(u'=');
      if (equals == std::u16string::npos || equals == 0) {
        std::fprintf(stderr, "vorlane-host: --param needs NAME=VALUE\n");
        return false;
      }
      options->params.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    } else if (word == u"--page") {
      if (!value(&options->page)) return false;
    } else if (word == u"--page-file") {
      if (!value(&options->page_file)) return false;
    } else if (word == u"--allowed-hosts") {
      if (!value(&text)) return false;
      options->allowed_hosts = text;
    } else if (word == u"--cookie") {
      if (!value(&text)) return false;
      options->cookie = text;
    } else if (word == u"--no-activate") {
      options->activate = false;
    } else if (word == u"--gateway") {
      options->gateway = true;
    } else if (word == u"--login-gateway") {
      options->login_gateway = true;
    } else if (word == u"--client-cert") {
      options->client_cert = true;
    } else if (word == u"--timestamps") {
      options->timestamps = true;
    } else if (word == u"--local-client") {
      if (!value(&text)) return false;
      options->local_client_replies.push_back(Utf8(text));
    } else if (word.starts_with(u"--")) {
      std::fprintf(stderr, "vorlane-host: unknown option %s (see --help)\n", Utf8(word).c_str());
      return false;
    } else {
      std::string error;
      auto step = ParseStep(Utf8(word), &error);
      if (!step) {
        std::fprintf(stderr, "vorlane-host: %s: %s (see --help)\n", Utf8(word).c_str(), error.c_str());
        return false;
      }
      options->steps.push_back(*step);
    }
  }
  return true;
}

std::vector<std::u16string> CommandLineWords() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::u16string> words;
  for (int i = 1; i < count; ++i) words.push_back(FromWide(argv[i]));
  LocalFree(argv);
  return words;
}

std::string ClsidText(const CLSID& clsid) {
  wchar_t text[64] = {};
  StringFromGUID2(clsid, text, 64);
  return Utf8(FromWide(text));
}

bool Register(const Options& options, Transcript& out) {
  for (const auto& file : options.register_files) {
    HRESULT hr = RegisterServer(file);
    out.Add(SUCCEEDED(hr) ? "registered " + Quote(file) : "error register " + Hex(hr));
    if (FAILED(hr)) return false;
  }
  for (const auto& file : options.unregister_files) {
    HRESULT hr = UnregisterServer(file);
    out.Add(SUCCEEDED(hr) ? "unregistered " + Quote(file) : "error unregister " + Hex(hr));
    if (FAILED(hr)) return false;
  }
  return true;
}

int Host(const Options& options, Transcript& out) {
  auto page = FakePage::Make(options.page, options.cookie, [&](const Navigation& navigation) {
    out.Add("navigate " + Utf8(navigation.kind) + " " + Quote(navigation.url));
  });
  if (!page) {
    std::fprintf(stderr, "vorlane-host: not an absolute address: %s\n", Utf8(options.page).c_str());
    return 2;
  }
  DialogWatcher watcher([&](const SeenDialog& dialog) { out.Add(DialogLine(dialog)); });

  std::unique_ptr<HostedControl> control;
  HRESULT hr = HostedControl::Create(options.source, &control);
  if (FAILED(hr)) {
    out.Add("error create " + Hex(hr));
    return 1;
  }
  out.Add(options.source.file.empty() ? "created registry " + ClsidText(options.source.clsid)
                                      : "created file " + Quote(options.source.file));

  // Placed on the page as a browser places it, then asked whether it is safe
  // to load and script there; only a refusal is shown (the host goes on, so
  // the members' answers show too).
  control->SetPageDocument(page->document().Get());
  hr = control->MarkSafe();
  if (FAILED(hr)) out.Add("refused safety " + Hex(hr));

  const IID events = *reinterpret_cast<const IID*>(&kEventsIid);
  auto sink = ComPtr<EventSink>::Adopt(
      new EventSink(events, [&](const ReceivedEvent& event) { out.Add(EventLine(event)); }));
  DWORD cookie = 0;
  hr = control->Advise(sink.Get(), events, &cookie);
  if (FAILED(hr)) out.Add("error advise " + Hex(hr));

  ComPtr<PropertyBag> params;
  if (!options.params.empty()) {
    params = ComPtr<PropertyBag>::Adopt(new PropertyBag);
    for (const auto& [name, value] : options.params) params->Set(name, value);
  }
  hr = control->Initialize(params.Get());
  if (FAILED(hr)) {
    out.Add("error initialize " + Hex(hr));
    return 1;
  }
  out.Add(params ? "loaded params " + std::to_string(options.params.size()) : "initialized new");

  if (options.activate) {
    hr = control->Activate();
    if (FAILED(hr)) {
      out.Add("error activate " + Hex(hr));
      return 1;
    }
    HWND window = control->control_window();
    out.Add(window && IsChild(control->host_window(), window) ? "activated window" : "activated windowless");
  }

  bool all_ran = true;
  StepRunner runner(*control, *page, sink.Get(), out);
  for (const auto& step : options.steps) all_ran = runner.Run(step) && all_ran;
  if (!control->released()) {
    control->Unadvise(events, cookie);
    control->Release();
    out.Add("released");
  }
  return all_ran ? 0 : 1;
}

// The page file's <param> values go first, so a --param given too wins.
bool AddPageFileParams(Options& options, Transcript& out) {
  if (options.page_file.empty()) return true;
  std::string html;
  if (FILE* file = _wfopen(AsWide(options.page_file), L"rb")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) html.append(buffer, n);
    std::fclose(file);
  } else {
    out.Add("error page file " + Quote(options.page_file));
    return false;
  }
  std::string clsid = ClsidText(options.source.clsid);  // {GUID}
  auto params = ReadObjectParams(html, clsid.substr(1, clsid.size() - 2));
  if (!params) {
    out.Add("error page file " + Quote(options.page_file) + " has no <object> of " + clsid);
    return false;
  }
  std::vector<std::pair<std::u16string, std::u16string>> all;
  for (const auto& [name, value] : *params) {
    out.Add("page param " + name + " " + Quote(Utf16(value)));
    all.emplace_back(Utf16(name), Utf16(value));
  }
  all.insert(all.end(), options.params.begin(), options.params.end());
  options.params = std::move(all);
  return true;
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);  // lines end in \n alone, for scripts
  Options options;
  bool help = false;
  std::vector<std::u16string> words = CommandLineWords();
  if (!ParseOptions(words, &options, &help)) return 2;
  if (help) {
    std::fputs(kHelp, stdout);
    return 0;
  }

  if (FAILED(OleInitialize(nullptr))) return 1;
  Transcript out(stdout);
  if (options.timestamps) out.StampLines();
  AllowedHostsOverride policy(out);  // put back when the run ends
  bool policy_set = !options.allowed_hosts || policy.Set(*options.allowed_hosts);
  int status = policy_set && AddPageFileParams(options, out) && Register(options, out) ? 0 : 1;
  bool only_registering = options.steps.empty() && options.params.empty() && options.source.file.empty() &&
                          !(options.register_files.empty() && options.unregister_files.empty());
  std::unique_ptr<DemoCounterparts> counterparts;
  if (status == 0 && (options.gateway || options.login_gateway || options.client_cert ||
                      !options.local_client_replies.empty())) {
    counterparts = std::make_unique<DemoCounterparts>(out);
    if (options.gateway) {
      options.page = counterparts->StartGateway();
      if (options.page.empty()) {
        out.Add("error gateway");
        status = 1;
      }
    }
    if (options.login_gateway) {
      options.page = counterparts->StartLoginGateway();
      if (options.page.empty()) {
        out.Add("error login gateway");
        status = 1;
      }
    }
    if (options.client_cert && !counterparts->InstallClientCertificate()) {
      out.Add("error client certificate");
      status = 1;
    }
    if (!options.local_client_replies.empty() && !counterparts->StartLocalClient(options.local_client_replies)) {
      out.Add("error local client 127.0.0.1:8000");
      status = 1;
    }
  }
  if (status == 0 && !only_registering) status = Host(options, out);
  counterparts.reset();
  OleUninitialize();
  // A member of the fake page that nothing scripts was called: see stderr.
  if (status == 0 && !UnscriptedCalls().empty()) status = 1;
  return status;
}
