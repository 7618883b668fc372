#include "support/message_catalogue.h"

namespace vorlane {
namespace {

constexpr const char16_t* kMessages[kMessageCount] = {
    u"Failed to initiate the login information, please login again!",
    u"登录信息初始化失败，请重新登录！",
    u"Initialize the SSL environmental failure!",
    u"初始化SSL环境失败！",
    u"Initialize the CAPI engine failure!",
    u"初始化CAPI引擎失败！",
    u"SSLVPN address error, please check it!",
    u"SSLVPN地址错误，请检查！",
    u"Failed to connect to the server, please contact your administrator!",
    u"连接服务器失败，请联系管理员！",
    u"Please check whether to insert the USB Key or the certificate is valid!",
    u"请检查是否插入USB-Key或证书是否有效！",
    u"Failed to get the local certification information, please check the connection or contact your administrator!",
    u"获取本地认证信息失败，请检查连接或联系管理员！",
    u"Authentication failed, please check the connection or contact your administrator!",
    u"认证失败，请检查连接或联系管理员！",
    u"Certificate information error, please check the certificate and contact administrator!",
    u"证书信息错误，请检查证书或联系管理员！",
    u"Abnormal connection SSLVPN server, please contact your administrator!",
    u"连接SSLVPN服务器异常，请联系管理员！",
    u"Connect SSLVPN server error, please contact administrator!",
    u"连接SSLVPN服务器超时，请联系管理员！",
    u"Start SSLVPN client error, please contact administrator!",
    u"启动SSLVPN客户端失败，请联系管理员！",
};

constexpr std::uint16_t kLanguages[2] = {0x0409, 0x0804};

}  // namespace

const char16_t* MessageText(int entry) {
  return entry >= 0 && entry < kMessageCount ? kMessages[entry] : nullptr;
}

std::uint16_t MessageLanguage(int slot) { return slot == 0 || slot == 1 ? kLanguages[slot] : 0; }

MessageChoice LaunchFailureMessage(PortalType type) { return {type.LaunchMessageSlot(), type.LaunchMessageSlot()}; }

MessageChoice CertLoginMessage(MessageBase base, PortalType type) {
  int slot = type.LoginMessageSlot();
  return {base + slot, slot};
}

}  // namespace vorlane
