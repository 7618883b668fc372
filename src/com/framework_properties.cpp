#include "com/framework_properties.h"

namespace vorlane {

void ExchangeFrameworkProperties(PropertyExchange& exchange, FrameworkProperties& properties) {
  if (exchange.Mode() == ExchangeMode::Save) properties.version = kPropertySetVersion;
  exchange.Unsigned(u"_Version", properties.version, kPropertySetVersion);
  exchange.Long(u"_ExtentX", properties.extentX, properties.extentX);
  exchange.Long(u"_ExtentY", properties.extentY, properties.extentY);
  exchange.Unsigned(u"_StockProps", properties.stockProps, properties.stockProps);
}

}  // namespace vorlane
