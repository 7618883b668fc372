#pragma once
// The module's two class factories: each makes a fresh object of its class.
#include "module/win32/class_factory.h"

namespace vorlane {

class CVorlaneCtrlFactory final : public ClassFactory {
 public:
  CVorlaneCtrlFactory();
};

class CVorlanePropPageFactory final : public ClassFactory {
 public:
  CVorlanePropPageFactory();
};

}  // namespace vorlane
