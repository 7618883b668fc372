#include "ocx/win32/vorlane_app.h"

namespace vorlane {

CvorlaneApp::CvorlaneApp() {
  factories_.Add(controlFactory_);
  factories_.Add(propPageFactory_);
}

bool CvorlaneApp::InitInstance() {
  factories_.SetAllRegistered(true);
  return true;
}

void CvorlaneApp::ExitInstance() { factories_.SetAllRegistered(false); }

CvorlaneApp& TheApp() {
  static CvorlaneApp app;
  return app;
}

}  // namespace vorlane
