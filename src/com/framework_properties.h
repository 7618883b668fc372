#pragma once
// The properties every control persists before its own: the property-set
// version, the extent and the stock-property mask.
#include <cstdint>

#include "com/property_exchange.h"

namespace vorlane {

// Version 8.0 of the property set, as written by every save.
constexpr std::uint32_t kPropertySetVersion = 0x80000;

constexpr std::int32_t kHimetricPerInch = 2540;
constexpr std::int32_t kInitialWidthPixels = 100;
constexpr std::int32_t kInitialHeightPixels = 50;

constexpr std::int32_t PixelsToHimetric(std::int32_t pixels, std::int32_t dotsPerInch) {
  return (pixels * kHimetricPerInch + dotsPerInch / 2) / dotsPerInch;
}
constexpr std::int32_t HimetricToPixels(std::int32_t himetric, std::int32_t dotsPerInch) {
  return (himetric * dotsPerInch + kHimetricPerInch / 2) / kHimetricPerInch;
}

struct FrameworkProperties {
  std::uint32_t version = kPropertySetVersion;  // as loaded; saves write kPropertySetVersion
  std::int32_t extentX = 0;                     // HIMETRIC
  std::int32_t extentY = 0;
  std::uint32_t stockProps = 0;  // no stock properties
};

// "_Version", "_ExtentX", "_ExtentY", "_StockProps", in that order. The extent
// and mask default to what the control holds now.
void ExchangeFrameworkProperties(PropertyExchange& exchange, FrameworkProperties& properties);

}  // namespace vorlane
