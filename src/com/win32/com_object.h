#pragma once
// Reference counting for our COM objects that live on the heap. Each object
// answers QueryInterface itself; AddRef/Release here override those of every
// interface it derives from, and the last Release deletes the object.
#include <windows.h>
#include <ole2.h>

#include <atomic>

namespace vorlane {

template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

  // Hands out `self` for `iid` after taking a reference.
  template <class Interface>
  HRESULT Answer(Interface* self, void** out) {
    self->AddRef();
    *out = self;
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace vorlane
