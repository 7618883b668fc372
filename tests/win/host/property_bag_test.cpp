// The <param> bag: values are texts, handed out in the type the reader asks for.
#include <gtest/gtest.h>

#include "property_bag.h"
#include "support/win32/com_ptr.h"
#include "support/win32/variant.h"

namespace vorlane::host {
namespace {

class PropertyBagTest : public ::testing::Test {
 protected:
  PropertyBagTest() : bag_(ComPtr<PropertyBag>::Adopt(new PropertyBag)) {}
  HRESULT Read(const wchar_t* name, VARTYPE type, Variant* value) {
    V_VT(value->Get()) = type;
    return bag_->Read(name, value->Get(), nullptr);
  }
  ComPtr<PropertyBag> bag_;
};

TEST_F(PropertyBagTest, ConvertsToTheRequestedType) {
  bag_->Set(u"type", u"-1");
  bag_->Set(u"ip", u"10.0.0.1");
  Variant type, ip, any;
  ASSERT_EQ(S_OK, Read(L"type", VT_I2, &type));
  EXPECT_EQ(VT_I2, V_VT(type.Get()));
  EXPECT_EQ(-1, V_I2(type.Get()));
  ASSERT_EQ(S_OK, Read(L"IP", VT_BSTR, &ip));  // names are not case-sensitive, as in HTML
  EXPECT_STREQ(L"10.0.0.1", V_BSTR(ip.Get()));
  ASSERT_EQ(S_OK, Read(L"ip", VT_EMPTY, &any));
  EXPECT_EQ(VT_BSTR, V_VT(any.Get()));
}

TEST_F(PropertyBagTest, RefusesAbsentAndUnconvertibleValues) {
  bag_->Set(u"type", u"abc");
  Variant value;
  EXPECT_EQ(E_INVALIDARG, Read(L"port", VT_I4, &value));
  EXPECT_TRUE(FAILED(Read(L"type", VT_I2, &value)));
  EXPECT_EQ(VT_EMPTY, V_VT(value.Get()));
}

TEST_F(PropertyBagTest, WriteKeepsOrderAndReplacesByName) {
  Variant version, ip, again;
  V_VT(version.Get()) = VT_I4;
  V_I4(version.Get()) = 524288;
  ASSERT_EQ(S_OK, bag_->Write(L"_Version", version.Get()));
  ASSERT_EQ(S_OK, bag_->Write(L"ip", Variant::Text(u"1.2.3.4").Get()));
  ASSERT_EQ(S_OK, bag_->Write(L"IP", Variant::Text(u"5.6.7.8").Get()));
  auto entries = bag_->Entries();
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ(u"_Version", entries[0].name);
  EXPECT_EQ(u"524288", entries[0].text);
  EXPECT_EQ(VT_I4, entries[0].type);
  EXPECT_EQ(u"5.6.7.8", entries[1].text);
}

}  // namespace
}  // namespace vorlane::host
