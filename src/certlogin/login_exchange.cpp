#include "certlogin/login_exchange.h"

#include "certlogin/connect_gateway.h"
#include "certlogin/exchange_deadline.h"
#include "certlogin/exchange_objects.h"
#include "certlogin/login_limits.h"
#include "certlogin/login_texts.h"
#include "support/cookie_expiry.h"
#include "support/port_text.h"
#include "support/session_id.h"

namespace vorlane {

std::optional<std::string> ReadReplyHead(DeadlineConnection& connection) {
  std::string reply;
  char buffer[kReplyReadLimit];
  while (reply.size() < kReplyReadLimit && reply.find("\r\n\r\n") == std::string::npos) {
    int room = static_cast<int>(kReplyReadLimit - reply.size());
    int got = connection.Read(buffer, room);
    if (got <= 0) break;  // the end of the connection, a failed read or the deadline
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
  // The context keeps its own hold on the engine; ours goes at the end of this.
  EngineReference engine(tls, tls.EngineById("capi"));
  if (!engine.Get()) return kMsgCapiEngineFailed;
  tls.SetDefaultEngine(engine.Get());
  return tls.SetClientCertEngine(objects.context, engine.Get()) > 0 ? 0 : kMsgCapiEngineFailed;
}

bool WriteWhole(DeadlineConnection& connection, const std::string& request) {
  std::size_t sent = 0;
  while (sent < request.size()) {
    int written = connection.Write(request.data() + sent, static_cast<int>(request.size() - sent));
    if (written <= 0) return false;
    sent += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

int LoginExchange(Page& page, PortalType type, const LoginPorts& ports, const LoginOptions& options) {
  ExchangeObjects objects(ports.tls, ports.sockets);
  auto fail = [&](int base) {
    objects.Release();
    if (base != 0) ports.notice.Show(CertLoginMessage(static_cast<MessageBase>(base), type));
    return 0;
  };
  constexpr int kSilent = 0;

  ports.sockets.Startup();
  ports.tls.Start();
  if (int base = PrepareContext(objects, ports.tls)) return fail(base);

  std::string host = ports.codePages.ToAnsi(page.Hostname().value_or(u""));
  std::int32_t port = PortFromText(page.Port());
  const ExchangeDeadline deadline(ports.clock, kGatewayIoLimit);
  objects.socket = ConnectGateway(host, port, ports.sockets, deadline.Remaining());
  if (objects.socket == kNoSocket) return fail(kMsgConnectServerFailed);

  objects.connection = ports.tls.NewConnection(objects.context);
  if (!objects.connection) return fail(kSilent);
  if (ports.tls.SetSocket(objects.connection, objects.socket) <= 0) return fail(kSilent);
  ports.tls.SetAutoRetry(objects.connection);
  if (options.verifyGateway) ports.tls.SetServerName(objects.connection, host);
  DeadlineConnection connection(ports.tls, objects.connection, ports.sockets, objects.socket, deadline);
  if (connection.Handshake() <= 0) return fail(kMsgCheckUsbKey);
  // Before the page's session is sent anywhere.
  if (options.verifyGateway && !ports.trust.Trusts(ports.tls.PeerChain(objects.connection), host)) {
    return fail(kMsgConnectServerFailed);
  }

  std::optional<std::string> session;
  if (type.LoginSendsPageSession()) {
    session = SessionAfterMarker(ports.codePages.ToAnsi(page.Cookie().value_or(u"")));
    if (!session) return fail(kMsgLocalCertInfoFailed);
  }
  std::string pageAddress = ports.codePages.ToAnsi(page.DocumentUrl().value_or(u""));
  std::string request = LoginRequest(host, port, session, type.LoginLanguageValue(), pageAddress);
  if (!WriteWhole(connection, request)) return fail(kMsgAuthenticationFailed);

  std::optional<std::string> reply = ReadReplyHead(connection);
  if (!reply) return fail(kMsgAuthenticationFailed);
  if (reply->find("Certificate") != std::string::npos) return fail(kMsgCertificateInfoError);
  if (!type.LoginSendsPageSession()) {
    session = SessionAfterMarker(*reply);
    if (!session) return fail(kMsgAbnormalConnection);
  }
  std::optional<std::string> target = TargetAfterLocation(*reply);
  if (!target || !IsGatewayTarget(*target, host, static_cast<std::uint16_t>(port))) {
    return fail(kMsgAbnormalConnection);
  }

  CompleteLogin(*session, *target, page, ports);
  objects.Release();
  return 1;
}

void CertificateLogin(Page* page, PortalType type, const LoginPorts& ports, const LoginOptions& options) {
  if (page == nullptr) return;
  if (LoginExchange(*page, type, ports, options) == 1) return;
  if (std::optional<std::u16string> fallback = FallbackAddress(page->Href(), page->Host())) page->Assign(*fallback);
}

}  // namespace vorlane
