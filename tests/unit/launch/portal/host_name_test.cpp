#include "launch/portal/host_name.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(IsHostName, NamesAndAddressesALocationCanHold) {
  for (const char16_t* host : {u"gw.example", u"GW-1.Example.COM", u"10.0.0.1", u"localhost", u"x", u"[::1]",
                               u"[2001:db8::8a2e:370:7334]", u"[::ffff:10.0.0.1]", u"xn--bcher-kva.example"}) {
    EXPECT_TRUE(IsHostName(host)) << std::string(host, host + std::char_traits<char16_t>::length(host));
  }
}

TEST(IsHostName, RefusesWhatCouldRedirectTheDownloadOrAddArguments) {
  for (const char16_t* host :
       {u"", u"a@evil.example", u"gw.example:444", u"gw.example/evil", u"gw example", u"gw\t.example", u"\"gw\"",
        u"gw\".example", u"gw;x", u"gw%41", u"gw\\x", u"b\u00FCcher.example", u"[]", u"[1.2.3.4]", u"[::1", u"::1",
        u"[::1]x", u"[fe80::1%25eth0]", u"[::g]"}) {
    EXPECT_FALSE(IsHostName(host)) << std::string(host, host + std::char_traits<char16_t>::length(host));
  }
  EXPECT_FALSE(IsHostName(std::u16string(u"gw\0x", 4)));
}

}  // namespace
}  // namespace vorlane
