#pragma once
// The dispatch table a control declares, and the checks the dispatch layer
// makes against it before a member runs.
#include <cstddef>
#include <cstdint>
#include <span>

namespace vorlane {

using DispId = std::int32_t;
constexpr DispId kDispIdUnknown = -1;  // DISPID_UNKNOWN
constexpr DispId kDispIdAboutBox = -552;  // DISPID_ABOUTBOX

// What an argument is converted to before the member runs (VT_DISPATCH, VT_I2,
// VT_BSTR, VT_BOOL).
enum class ArgType : std::uint8_t { Dispatch, Short, Text, Boolean };
enum class ResultType : std::uint8_t { None, Boolean };

constexpr std::size_t kMaxDispatchArgs = 4;

struct DispatchEntry {
  const char16_t* name;
  DispId dispid;
  ResultType result;
  std::uint8_t argCount;
  ArgType args[kMaxDispatchArgs];
};

using DispatchTable = std::span<const DispatchEntry>;

// Names compare without regard to case, as the invariant culture folds them.
const DispatchEntry* FindMemberByName(DispatchTable table, const char16_t* name);
const DispatchEntry* FindMemberById(DispatchTable table, DispId dispid);

// How a caller reaches a member: the DISPATCH_* bits of Invoke.
constexpr std::uint16_t kDispatchMethod = 0x1;
constexpr std::uint16_t kDispatchPropertyGet = 0x2;
constexpr std::uint16_t kDispatchPropertyPut = 0x4;
constexpr std::uint16_t kDispatchPropertyPutRef = 0x8;

// Every member is a method: a call reaches it (DISPATCH_METHOD, alone or with
// DISPATCH_PROPERTYGET as script engines send a call). Reading one as a
// property or writing to it does not, so that `ctl.ResetUrl` read without a
// call cannot consume the reset signal or open a dialog.
bool CallReachesMember(std::uint16_t flags);

enum class ArgCountCheck { Fits, TooMany, TooFew };
// No member has optional parameters: fewer arguments than parameters is
// "parameter not optional", more is "bad parameter count".
ArgCountCheck CheckArgumentCount(const DispatchEntry& entry, std::size_t given);

// Members return a 32-bit BOOL; the caller sees true when its low 16 bits are
// nonzero (VARIANT_TRUE), false otherwise.
constexpr bool BooleanResult(std::int32_t value) { return (value & 0xFFFF) != 0; }

}  // namespace vorlane
