// The property record a stream or storage hands back: any bytes, read as a
// record or refused whole; a record that is read saves back to the same
// bytes, and loading the control's and the framework's properties from it
// and saving them again gives the same values.
//
// Input: the record's bytes (little-endian: "VLPS", layout 1, entry count,
// then per entry its name, a kind and its value).
#include <cstdint>
#include <string>
#include <vector>

#include "com/framework_properties.h"
#include "com/property_record.h"
#include "control/control_properties.h"
#include "control/process_wide_type.h"
#include "fuzz_input.h"

namespace vorlane::fuzz {
namespace {

struct Loaded {
  ControlProperties control;
  FrameworkProperties framework;
};

// The properties as a control with these earlier values loads them.
Loaded Load(PropertyRecord& record) {
  Loaded loaded;
  loaded.control.ip = u"earlier ip";
  loaded.control.port = 8443;
  loaded.control.type = 1;
  loaded.framework.extentX = 2646;
  PropertyExchange exchange(ExchangeMode::Load, &record);
  ExchangeFrameworkProperties(exchange, loaded.framework);
  ExchangeControlProperties(exchange, loaded.control);
  return loaded;
}

bool Same(const Loaded& a, const Loaded& b) {
  return a.control.ip == b.control.ip && a.control.port == b.control.port &&
         a.control.username == b.control.username && a.control.type == b.control.type &&
         a.framework.version == b.framework.version && a.framework.extentX == b.framework.extentX &&
         a.framework.extentY == b.framework.extentY && a.framework.stockProps == b.framework.stockProps;
}

}  // namespace
}  // namespace vorlane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlane;
  using namespace vorlane::fuzz;
  const std::vector<std::uint8_t> bytes(data, data + size);
  const std::string shown = Shown(std::string_view(reinterpret_cast<const char*>(data), size));
  std::optional<PropertyRecord> record = PropertyRecord::Deserialize(bytes);
  if (!record) return 0;

  const std::vector<std::uint8_t> saved = record->Serialize();
  std::optional<PropertyRecord> again = PropertyRecord::Deserialize(saved);
  Require(again && again->Entries() == record->Entries(), "a saved record reads back the same", shown);
  // Unless a name came twice (the later value replaces the earlier), the
  // record is saved as it was read.
  const std::uint32_t count = bytes[8] | (bytes[9] << 8) | (bytes[10] << 16) | (std::uint32_t(bytes[11]) << 24);
  const bool plain = count == record->Entries().size();
  if (plain) Require(saved == bytes, "a record read saves back to its own bytes", shown);

  // Load, save, load again: the same values.
  Loaded first = Load(*record);
  Require(ProcessWideType() == first.control.TypeForUsers(), "the loaded type is published process-wide", shown);
  PropertyRecord written;
  PropertyExchange save(ExchangeMode::Save, &written);
  ExchangeFrameworkProperties(save, first.framework);
  ExchangeControlProperties(save, first.control);
  Require(written.Entries().size() == 8, "a save writes the eight properties", shown);
  Loaded second = Load(written);
  Require(Same(first, second), "what was loaded saves and loads again unchanged", shown);
  return 0;
}
