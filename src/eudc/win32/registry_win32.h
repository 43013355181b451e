// Byte-exact access to the values of one HKEY_CURRENT_USER key through the
// wide registry calls, shared by the EUDC key and the journal store.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/win32/handles.h"
#include "eudc/eudc_key.h"

namespace tavrel {

// Every value of the key (Absent when it does not exist), whatever the
// length of names and data and whatever characters they hold.
KeyReading ReadAllValues(std::wstring_view subKey);

// The key opened (or created) with `access`; the error when it cannot be.
struct OpenedKey {
  UniqueWin32Key key;
  LSTATUS error = ERROR_SUCCESS;
};
OpenedKey OpenKey(std::wstring_view subKey, REGSAM access);
OpenedKey CreateKey(std::wstring_view subKey, REGSAM access);

// Stores the value with its exact type and bytes.
LSTATUS WriteValue(HKEY key, const RawValue& value);

}  // namespace tavrel
