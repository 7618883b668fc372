#pragma once
// The module object: one per process, made when the library is loaded. It
// owns the class factories and the list the exported entry points walk.
#include "module/factory_list.h"
#include "ocx/win32/vorlane_factories.h"

namespace vorlane {

class CvorlaneApp {
 public:
  CvorlaneApp();
  CvorlaneApp(const CvorlaneApp&) = delete;
  CvorlaneApp& operator=(const CvorlaneApp&) = delete;

  // Makes the factories available to DllGetClassObject.
  bool InitInstance();
  // Revokes them before the library goes away.
  void ExitInstance();

  FactoryList& Factories() { return factories_; }

 private:
  FactoryList factories_;
  // Constructed in this order, each joining the head of the list: the page's
  // factory comes first in every walk.
  CVorlaneCtrlFactory controlFactory_;
  CVorlanePropPageFactory propPageFactory_;
};

CvorlaneApp& TheApp();

}  // namespace vorlane
