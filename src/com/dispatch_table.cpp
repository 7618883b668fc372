#include "com/dispatch_table.h"

#include "support/ascii_case.h"

namespace vorlane {
namespace {

// Invariant case folding of member names: ASCII letters fold, everything else
// must match exactly. Member names are ASCII, so this is the whole rule.
bool SameNameIgnoringCase(const char16_t* a, const char16_t* b) {
  for (; *a && *b; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
  }
  return *a == *b;
}

}  // namespace

const DispatchEntry* FindMemberByName(DispatchTable table, const char16_t* name) {
  if (!name) return nullptr;
  for (const DispatchEntry& entry : table) {
    if (SameNameIgnoringCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

const DispatchEntry* FindMemberById(DispatchTable table, DispId dispid) {
  for (const DispatchEntry& entry : table) {
    if (entry.dispid == dispid) return &entry;
  }
  return nullptr;
}

ArgCountCheck CheckArgumentCount(const DispatchEntry& entry, std::size_t given) {
  if (given > entry.argCount) return ArgCountCheck::TooMany;
  if (given < entry.argCount) return ArgCountCheck::TooFew;
  return ArgCountCheck::Fits;
}

}  // namespace vorlane
