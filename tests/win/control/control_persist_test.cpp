// Loading the page's <param> values and saving the property set.
#include <gtest/gtest.h>

#include "control/process_wide_type.h"
#include "support/win32/win32_log_file.h"
#include "test_container.h"

namespace vorlane::tests {
namespace {

ComPtr<IDispatch> LoadedControl(PropertyBag* bag) {
  ComPtr<IDispatch> control = NewControl();
  ComPtr<IPersistPropertyBag> persist = control.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  EXPECT_EQ(persist->Load(bag, nullptr), S_OK);
  return control;
}

ComPtr<PropertyBag> SavedBag(IDispatch* control) {
  ComPtr<PropertyBag> saved = ComPtr<PropertyBag>::Adopt(new PropertyBag());
  ComPtr<IPersistPropertyBag> persist = ComPtr<IDispatch>(control).As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  EXPECT_EQ(persist->Save(saved.Get(), TRUE, TRUE), S_OK);
  return saved;
}

TEST(ControlPersist, PageParametersLoadAndSaveBack) {
  InstallWin32ProcessLog();
  ComPtr<PropertyBag> page = ComPtr<PropertyBag>::Adopt(new PropertyBag());
  page->params = {{u"ip", u"10.0.0.7"}, {u"port", u"8443"}, {u"username", u"\u5f20\u4e09"}, {u"type", u"2"}};
  ComPtr<IDispatch> control = LoadedControl(page.Get());
  EXPECT_EQ(ProcessWideType(), 2);

  ComPtr<PropertyBag> saved = SavedBag(control.Get());
  std::vector<std::pair<std::u16string, VARTYPE>> expected = {
      {u"_Version", VT_I4}, {u"_ExtentX", VT_I4}, {u"_ExtentY", VT_I4}, {u"_StockProps", VT_I4},
      {u"ip", VT_BSTR},     {u"port", VT_I4},     {u"username", VT_BSTR}, {u"type", VT_I2}};
  EXPECT_EQ(saved->written, expected);
  EXPECT_EQ(saved->writtenText[u"_Version"], u"524288");
  EXPECT_EQ(saved->writtenText[u"ip"], u"10.0.0.7");
  EXPECT_EQ(saved->writtenText[u"port"], u"8443");
  EXPECT_EQ(saved->writtenText[u"username"], u"\u5f20\u4e09");
  EXPECT_EQ(saved->writtenText[u"type"], u"2");
  // The log was opened at the client log path by the exchange.
  EXPECT_TRUE(GetFileAttributesW(L"C:\\ie_sslvpn_client.log") != INVALID_FILE_ATTRIBUTES);
}

TEST(ControlPersist, TypeMinusOneAbcAndAbsent) {
  ComPtr<PropertyBag> page = ComPtr<PropertyBag>::Adopt(new PropertyBag());
  page->params = {{u"type", u"-1"}};
  ComPtr<IDispatch> control = LoadedControl(page.Get());
  EXPECT_EQ(ProcessWideType(), 65535);
  EXPECT_EQ(SavedBag(control.Get())->writtenText[u"type"], u"-1");

  // Loading again into the same control: "abc" and absent keep -1.
  ComPtr<IPersistPropertyBag> persist = control.As<IPersistPropertyBag>(IID_IPersistPropertyBag);
  page->params = {{u"type", u"abc"}, {u"port", u"x"}};
  ASSERT_EQ(persist->Load(page.Get(), nullptr), S_OK);
  page->params = {};
  ASSERT_EQ(persist->Load(page.Get(), nullptr), S_OK);
  ComPtr<PropertyBag> saved = SavedBag(control.Get());
  EXPECT_EQ(saved->writtenText[u"type"], u"-1");
  EXPECT_EQ(saved->writtenText[u"port"], u"0");
}

TEST(ControlPersist, TheLastExchangedControlSetsTheProcessWideType) {
  ComPtr<PropertyBag> first = ComPtr<PropertyBag>::Adopt(new PropertyBag());
  first->params = {{u"type", u"1"}};
  ComPtr<PropertyBag> second = ComPtr<PropertyBag>::Adopt(new PropertyBag());
  second->params = {{u"type", u"3"}};
  ComPtr<IDispatch> a = LoadedControl(first.Get());
  ComPtr<IDispatch> b = LoadedControl(second.Get());
  EXPECT_EQ(ProcessWideType(), 3);
  SavedBag(a.Get());  // a save is an exchange too
  EXPECT_EQ(ProcessWideType(), 1);
}

TEST(ControlPersist, StreamAndStorageRoundTrip) {
  ComPtr<PropertyBag> page = ComPtr<PropertyBag>::Adopt(new PropertyBag());
  page->params = {{u"ip", u"gw.example"}, {u"port", u"443"}, {u"username", u"bob"}, {u"type", u"1"}};
  ComPtr<IDispatch> original = LoadedControl(page.Get());

  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
  ASSERT_EQ(original.As<IPersistStreamInit>(IID_IPersistStreamInit)->Save(stream.Get(), TRUE), S_OK);
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ComPtr<IDispatch> copy = NewControl();
  ASSERT_EQ(copy.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(stream.Get()), S_OK);
  EXPECT_EQ(SavedBag(copy.Get())->writtenText, SavedBag(original.Get())->writtenText);

  ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateDocfile(nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0,
                             storage.Put()),
            S_OK);
  ASSERT_EQ(original.As<IPersistStorage>(IID_IPersistStorage)->Save(storage.Get(), TRUE), S_OK);
  ComPtr<IDispatch> fromStorage = NewControl();
  ASSERT_EQ(fromStorage.As<IPersistStorage>(IID_IPersistStorage)->Load(storage.Get()), S_OK);
  EXPECT_EQ(SavedBag(fromStorage.Get())->writtenText[u"ip"], u"gw.example");
}

TEST(ControlPersist, DamagedStreamIsRefusedAndLeavesTheControlUninitialised) {
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
  const char junk[] = "\x08\x00\x00\x00garbage!";
  stream->Write(junk, sizeof(junk) - 1, nullptr);
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ComPtr<IDispatch> control = NewControl();
  EXPECT_FALSE(SUCCEEDED(control.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(stream.Get())));
  DISPPARAMS none = {};
  EXPECT_EQ(control->Invoke(1003, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), E_UNEXPECTED);
}

}  // namespace
}  // namespace vorlane::tests
