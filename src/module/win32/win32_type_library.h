#pragma once
#include <oaidl.h>

#include "module/type_library_port.h"
#include "support/win32/com_ptr.h"

namespace vorlane {

// Type libraries through the OLE Automation functions.
class Win32TypeLibrary final : public TypeLibraryPort {
 public:
  bool LoadFromModule(const std::u16string& modulePath) override;
  Guid LoadedLibId() override;
  bool RegisterLoaded(const std::u16string& modulePath) override;
  std::optional<std::vector<Guid>> FindRegistered(const Guid& libId, std::uint16_t major,
                                                  std::uint16_t minor, std::uint32_t locale) override;

 private:
  ComPtr<ITypeLib> loaded_;
};

}  // namespace vorlane
