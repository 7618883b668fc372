#pragma once
// The control's scripting surface: its dispatch and event tables.
#include "com/dispatch_table.h"

namespace vorlane {

constexpr DispId kDispIdRun = 1000;
constexpr DispId kDispIdClose = 1001;
constexpr DispId kDispIdRunCmd = 1002;
constexpr DispId kDispIdResetUrl = 1003;
constexpr DispId kDispIdGetPCHardInfo = 1004;
constexpr DispId kDispIdOnClientMessage = 1;

// What Invoke executes. It differs from the type library where they disagree:
// Run and RunCmd give booleans, RunCmd's second argument is a boolean.
inline constexpr DispatchEntry kControlDispatchTable[] = {
    {u"AboutBox", kDispIdAboutBox, ResultType::None, 0, {}},
    {u"Run", kDispIdRun, ResultType::Boolean, 1, {ArgType::Dispatch}},
    {u"Close", kDispIdClose, ResultType::None, 1, {ArgType::Short}},
    {u"RunCmd", kDispIdRunCmd, ResultType::Boolean, 2, {ArgType::Text, ArgType::Boolean}},
    {u"ResetUrl", kDispIdResetUrl, ResultType::Boolean, 0, {}},
    {u"GetPCHardInfo", kDispIdGetPCHardInfo, ResultType::None, 1, {ArgType::Dispatch}},
};

}  // namespace vorlane
