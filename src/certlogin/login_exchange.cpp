#include "certlogin/login_exchange.h"

#include "certlogin/connect_gateway.h"
#include "certlogin/login_limits.h"
#include "certlogin/login_texts.h"
#include "support/cookie_expiry.h"
#include "support/port_text.h"
#include "support/session_id.h"

namespace vorlane {

void ReleaseExchange(ExchangeObjects& objects, TlsLibrary& tls, GatewaySockets& sockets) {
  if (objects.connection) tls.FreeConnection(objects.connection);
  if (objects.context) tls.FreeContext(objects.context);
  if (objects.socket != kNoSocket) sockets.Close(objects.socket);
  objects = {};
}

std::optional<std::string> ReadReplyHead(TlsLibrary& tls, TlsConnection* connection) {
  std::string reply;
  char buffer[kReplyReadLimit];
  while (reply.size() < kReplyReadLimit && reply.find("\r\n\r\n") == std::string::npos) {
    int room = static_cast<int>(kReplyReadLimit - reply.size());
    int got = tls.Read(connection, buffer, room);
    if (got <= 0) break;  // the end of the connection, or a failed or timed-out read
    reply.append(buffer, static_cast<std::size_t>(got < room ? got : room));
  }
  if (reply.empty()) return std::nullopt;
  return reply.substr(0, reply.find('\0'));
}

void CompleteLogin(const std::string& session, const std::string& target, Page& page,
                   const LoginPorts& ports) {
  std::u16string address = u"https://" + page.Host().value_or(u"") + u"/";
  ports.cookies.SetCookie(address, kSessionMarker16 + ports.codePages.FromUtf8(session) +
                                       u"; path=/;expires=" + CookieExpiryOneYearAfter(ports.clock.Now()));
  ports.cookies.SetCookie(address, u"Client_Key=1; path=/");
  page.Assign(ports.codePages.FromUtf8(target));
  ports.clock.Pause(kNavigationPause);
}

namespace {

// Makes the context and hands it the capi engine as its certificate source.
// The base of the failure's message, or 0 when the context is ready.
int PrepareContext(ExchangeObjects& objects, TlsLibrary& tls) {
  objects.context = tls.NewClientContext();
  if (!objects.context) return kMsgSslEnvironmentFailed;
  if (!tls.SetMaxVersionTls12(objects.context) ||
      !tls.SetClientSignatureAlgorithms(objects.context, kClientSignatureAlgorithms)) {
    return kMsgSslEnvironmentFailed;
  }
  tls.CleanupEngines();
  tls.LoadCapiEngine();
  TlsEngine* engine = tls.EngineById("capi");
  if (!engine) return kMsgCapiEngineFailed;
  tls.SetDefaultEngine(engine);
  int usable = tls.SetClientCertEngine(objects.context, engine);
  // The context keeps its own hold on the engine.
  tls.FreeEngine(engine);
  return usable > 0 ? 0 : kMsgCapiEngineFailed;
}

bool WriteWhole(TlsLibrary& tls, TlsConnection* connection, const std::string& request) {
  std::size_t sent = 0;
  while (sent < request.size()) {
    int written = tls.Write(connection, request.data() + sent, static_cast<int>(request.size() - sent));
    if (written <= 0) return false;
    sent += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

int LoginExchange(Page& page, PortalType type, const LoginPorts& ports) {
  ExchangeObjects objects;
  auto fail = [&](int base) {
    ReleaseExchange(objects, ports.tls, ports.sockets);
    if (base != 0) ports.notice.Show(CertLoginMessage(static_cast<MessageBase>(base), type));
    return 0;
  };
  constexpr int kSilent = 0;

  ports.sockets.Startup();
  ports.tls.Start();
  if (int base = PrepareContext(objects, ports.tls)) return fail(base);

  std::string host = ports.codePages.ToAnsi(page.Hostname().value_or(u""));
  std::int32_t port = PortFromText(page.Port());
  objects.socket = ConnectGateway(host, port, ports.sockets);
  if (objects.socket == kNoSocket) return fail(kMsgConnectServerFailed);

  objects.connection = ports.tls.NewConnection(objects.context);
  if (!objects.connection) return fail(kSilent);
  if (ports.tls.SetSocket(objects.connection, objects.socket) <= 0) return fail(kSilent);
  ports.tls.SetAutoRetry(objects.connection);
  if (ports.tls.Connect(objects.connection) <= 0) return fail(kMsgCheckUsbKey);

  std::optional<std::string> session;
  if (type.LoginSendsPageSession()) {
    session = SessionAfterMarker(ports.codePages.ToAnsi(page.Cookie().value_or(u"")));
    if (!session) return fail(kMsgLocalCertInfoFailed);
  }
  std::string pageAddress = ports.codePages.ToAnsi(page.DocumentUrl().value_or(u""));
  std::string request = LoginRequest(host, port, session, type.LoginLanguageValue(), pageAddress);
  if (!WriteWhole(ports.tls, objects.connection, request)) return fail(kMsgAuthenticationFailed);

  std::optional<std::string> reply = ReadReplyHead(ports.tls, objects.connection);
  if (!reply) return fail(kMsgAuthenticationFailed);
  if (reply->find("Certificate") != std::string::npos) return fail(kMsgCertificateInfoError);
  if (!type.LoginSendsPageSession()) {
    session = SessionAfterMarker(*reply);
    if (!session) return fail(kMsgAbnormalConnection);
  }
  std::optional<std::string> target = TargetAfterLocation(*reply);
  if (!target) return fail(kMsgAbnormalConnection);

  CompleteLogin(*session, *target, page, ports);
  ReleaseExchange(objects, ports.tls, ports.sockets);
  return 1;
}

void CertificateLogin(Page* page, PortalType type, const LoginPorts& ports) {
  if (page == nullptr) return;
  if (LoginExchange(*page, type, ports) == 1) return;
  if (std::optional<std::u16string> fallback = FallbackAddress(page->Href(), page->Host())) page->Assign(*fallback);
}

}  // namespace vorlane
