#include "fake_registry.h"

namespace vorlane::tests {

std::u16string Fold(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return folded;
}

std::u16string FakeRegistry::PathOf(RegistryKey key, const std::u16string& subkey) const {
  std::u16string base = key == kClassesRoot ? u"" : handles_.at(key);
  if (subkey.empty()) return base;
  return base.empty() ? subkey : base + u"\\" + subkey;
}

RegistryError FakeRegistry::Handle(const std::u16string& path, RegistryKey* key) {
  *key = nextHandle_++;
  handles_[*key] = Fold(path);
  ++openKeys;
  return kRegistrySuccess;
}

void FakeRegistry::AddKey(const std::u16string& path) {
  std::u16string folded = Fold(path);
  for (std::size_t at = 0; (at = folded.find(u'\\', at)) != std::u16string::npos; ++at) keys_[folded.substr(0, at)];
  keys_[folded];
}

bool FakeRegistry::HasKey(const std::u16string& path) const { return keys_.count(Fold(path)) != 0; }

const std::u16string* FakeRegistry::Value(const std::u16string& path, const std::u16string& name) const {
  auto key = keys_.find(Fold(path));
  if (key == keys_.end()) return nullptr;
  auto value = key->second.find(name);
  return value == key->second.end() ? nullptr : &value->second;
}

std::vector<std::u16string> FakeRegistry::Subkeys(const std::u16string& path) const {
  const std::u16string prefix = path.empty() ? u"" : Fold(path) + u"\\";
  std::vector<std::u16string> names;
  for (const auto& [name, values] : keys_) {
    if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
        name.find(u'\\', prefix.size()) == std::u16string::npos) {
      names.push_back(name.substr(prefix.size()));
    }
  }
  return names;
}

RegistryError FakeRegistry::CreateKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) {
  std::u16string full = PathOf(parent, path);
  AddKey(full);
  return Handle(full, key);
}

RegistryError FakeRegistry::OpenKey(RegistryKey parent, const std::u16string& path, RegistryKey* key) {
  std::u16string full = PathOf(parent, path);
  if (!HasKey(full)) return kRegistryFileNotFound;
  return Handle(full, key);
}

RegistryError FakeRegistry::SetDefaultValue(RegistryKey key, const std::u16string& subkey, const std::u16string& text) {
  std::u16string full = Fold(PathOf(key, subkey));
  if (failingWrites.count(full)) return kAccessDenied;
  AddKey(full);
  keys_[full][u""] = text;
  writes.push_back(full);
  return kRegistrySuccess;
}

RegistryError FakeRegistry::SetNamedValue(RegistryKey key, const std::u16string& name, const std::u16string& text) {
  std::u16string full = PathOf(key, u"");
  std::u16string entry = full + u"\\[" + Fold(name) + u"]";
  if (failingWrites.count(entry)) return kAccessDenied;
  keys_[full][name] = text;
  writes.push_back(entry);
  return kRegistrySuccess;
}

RegistryError FakeRegistry::EnumerateSubkey(RegistryKey key, std::uint32_t index, std::u16string* name) {
  std::vector<std::u16string> names = Subkeys(PathOf(key, u""));
  if (index >= names.size()) return kRegistryNoMoreItems;
  *name = names[index];
  return kRegistrySuccess;
}

RegistryError FakeRegistry::DeleteKey(RegistryKey parent, const std::u16string& subkey) {
  std::u16string full = Fold(PathOf(parent, subkey));
  if (failingDeletes.count(full)) return kAccessDenied;
  if (!HasKey(full)) return kRegistryFileNotFound;
  if (!Subkeys(full).empty()) return kAccessDenied;
  keys_.erase(full);
  return kRegistrySuccess;
}

void FakeRegistry::CloseKey(RegistryKey key) {
  if (handles_.erase(key) != 0) --openKeys;
}

}  // namespace vorlane::tests
