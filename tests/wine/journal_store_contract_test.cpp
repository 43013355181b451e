#include <windows.h>

#include "base/win32/wide.h"
#include "eudc/win32/journal_store_win32.h"
#include "eudc/win32/registry_win32.h"
#include "suites/journal_store_suite.h"

namespace tavrel::testing {

constexpr wchar_t kJournalKey[] = L"Software\\Tavrel\\Journal";
constexpr wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The prefix's user registry, without the journal's key and Tavrel's RunOnce
// value before and after each test.
class Win32JournalBackend {
 public:
  Win32JournalBackend() { Clean(); }
  ~Win32JournalBackend() { Clean(); }
  IJournalStore& seam() { return store_; }

  void PlantRecord(std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
    Plant(L"Record", type, bytes);
  }
  void PlantKeyWithoutRecord() { Plant(L"Other", REG_SZ, Utf16Bytes(u"x")); }
  // The value's text, which must be REG_SZ with exactly one NUL after it.
  std::optional<std::u16string> LogonCommand() {
    const KeyReading runOnce = ReadAllValues(kRunOnceKey);
    const RawValue* value = FindValue(runOnce.values, u"!Tavrel");
    if (!value) return std::nullopt;
    EXPECT_EQ(value->type, kRegSz);
    std::u16string text = Utf16FromBytes(value->data);
    EXPECT_EQ(value->data.size(), 2 * text.size());
    if (text.ends_with(u'\0')) text.pop_back();
    return text;
  }
  // The journal's key, or Tavrel's own key left empty.
  bool KeyLeft() { return OpenKey(L"Software\\Tavrel", KEY_QUERY_VALUE).error == ERROR_SUCCESS; }

 private:
  static void Plant(const wchar_t* name, DWORD type, const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kJournalKey, name, type, bytes.data(),
                              static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }
  static void Clean() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kJournalKey);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnceKey, L"!Tavrel");
  }
  Win32JournalStore store_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, JournalStoreContract, Win32JournalBackend);

}  // namespace tavrel::testing
