#include "registration.h"

#include "module_export.h"
#include "text.h"

namespace vorlane::host {
namespace {

HRESULT CallExport(const std::u16string& file, const char* name) {
  HMODULE library = LoadLibraryW(AsWide(file));
  if (!library) return HRESULT_FROM_WIN32(GetLastError());
  using Entry = HRESULT(STDAPICALLTYPE*)();
  auto entry = ExportOf<Entry>(library, name);
  HRESULT hr = entry ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  FreeLibrary(library);
  return hr;
}

}  // namespace

HRESULT RegisterServer(const std::u16string& file) { return CallExport(file, "DllRegisterServer"); }
HRESULT UnregisterServer(const std::u16string& file) { return CallExport(file, "DllUnregisterServer"); }

}  // namespace vorlane::host
