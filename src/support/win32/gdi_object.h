#pragma once
// An owned GDI object (font, brush, pen, bitmap), deleted when the owner goes.
// Select it out of every device context first.
#include <windows.h>

#include <utility>

namespace vorlane {

class GdiObject {
 public:
  explicit GdiObject(HGDIOBJ object) : object_(object) {}
  ~GdiObject() {
    if (object_) DeleteObject(object_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  HGDIOBJ Get() const { return object_; }

 private:
  HGDIOBJ object_;
};

}  // namespace vorlane
