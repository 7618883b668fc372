#include "control/control_properties.h"

#include "support/diagnostic_log.h"
#include "support/wide_format.h"

namespace vorlane {

void ExchangeControlProperties(PropertyExchange& exchange, ControlProperties& properties, HeldType& type,
                               PageVerdict page) {
  exchange.Text(u"ip", properties.ip);
  exchange.Long(u"port", properties.port);
  exchange.Text(u"username", properties.username);
  exchange.Short(u"type", properties.type);

  type.Offer(properties.TypeForUsers(), page);

  char16_t path[kPathCapacity];
  FormatWide(path, kPathCapacity, u"%s", kClientLogPath);
  OpenLog(path);
}

}  // namespace vorlane
