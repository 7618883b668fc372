#pragma once
// The identifiers and names by which Windows and the page know the control.
#include <cstdint>

#include "support/guid.h"

namespace vorlane {

constexpr Guid kLibId{0x51857C45, 0xA18A, 0x4079, {0xB8, 0xA0, 0x54, 0x71, 0x95, 0x31, 0x3D, 0x90}};
constexpr Guid kControlClsid{0x44575D42, 0xB89E, 0x423E, {0xB3, 0xCF, 0xB8, 0xAF, 0xE1, 0x89, 0x7A, 0x80}};
constexpr Guid kPropPageClsid{0xE0B529AF, 0xD370, 0x4795, {0xA7, 0xFA, 0x73, 0xBA, 0x30, 0x2E, 0x9D, 0xF6}};
constexpr Guid kDispatchIid{0x2AE993D0, 0xED49, 0x4B91, {0xB8, 0xDC, 0x6A, 0xEB, 0x27, 0xD5, 0x5B, 0xFF}};
constexpr Guid kEventsIid{0xBEE2B8CD, 0x966C, 0x4465, {0x89, 0x4A, 0xF4, 0x46, 0xA8, 0x0C, 0xE3, 0x91}};
constexpr Guid kObjectSafetyIid{0xCB5BDC81, 0x93C1, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};

constexpr char16_t kControlProgId[] = u"Vorlane.VorlaneCtrl.1";

// The type library carries 8.0, the version the control names everywhere, so
// the registered-library lookups by 8.0 find what registration recorded.
constexpr std::uint16_t kTypeLibMajor = 8;
constexpr std::uint16_t kTypeLibMinor = 0;
// The library is declared for US English, and the system records it under
// that locale only; lookups of the registered library must name it.
constexpr std::uint32_t kTypeLibLocale = 0x409;

// OLEMISC_RECOMPOSEONRESIZE | CANTLINKINSIDE | INSIDEOUT | ACTIVATEWHENVISIBLE | SETCLIENTSITEFIRST
constexpr std::uint32_t kControlMiscStatus = 131473;

constexpr int kControlTypeNameString = 1;   // "Vorlane  Control"
constexpr int kPropPageTypeNameString = 2;  // "Vorlane 属性页"
constexpr int kPropPageCaptionString = 200; // "常规"
constexpr int kToolboxBitmapId = 1;
constexpr int kAboutDialogId = 1;
constexpr int kPropPageDialogId = 200;

}  // namespace vorlane
