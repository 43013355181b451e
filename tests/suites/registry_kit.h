// Set-up and inspection of registry values through IRegistry itself, so the
// same test runs against the fake and against the real registry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_api.h"

namespace tavrel::testing {

struct StoredValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const StoredValue&) const = default;
};

void PutRaw(IRegistry& reg, std::string_view keyPath, std::string_view name, DWORD type,
            const std::vector<BYTE>& data);
// Text stored as Windows stores it: UTF-16 with its NUL.
void PutText(IRegistry& reg, std::string_view keyPath, std::string_view name,
             std::string_view text, DWORD type = kRegSz);
// The value as stored (wide view), or nothing when it or its key is missing.
std::optional<StoredValue> Fetch(IRegistry& reg, std::string_view keyPath, std::string_view name);
// Every value of the key in the registry's order: (name, value).
std::vector<std::pair<std::string, StoredValue>> FetchAll(IRegistry& reg, std::string_view keyPath);
// The size in bytes that the ANSI query reports for the value.
std::optional<DWORD> AnsiSize(IRegistry& reg, std::string_view keyPath, std::string_view name);
bool KeyExists(IRegistry& reg, std::string_view keyPath);
void DeleteTree(IRegistry& reg, std::string_view keyPath);

}  // namespace tavrel::testing
