#include "eudc/win32/journal_store_win32.h"

#include <algorithm>

#include "base/win32/wide.h"
#include "eudc/win32/registry_win32.h"

namespace tavrel {
namespace {

constexpr wchar_t kTavrelKey[] = L"Software\\Tavrel";
constexpr wchar_t kJournalKey[] = L"Software\\Tavrel\\Journal";
constexpr wchar_t kRecordValue[] = L"Record";
constexpr wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// "!": Windows deletes the value only once the command has run, so that an
// exe it cannot reach at logon (a drive not there yet) is run at the next.
constexpr wchar_t kRunOnceValue[] = L"!Tavrel";
// The name an older Tavrel gave the value.
constexpr wchar_t kOlderRunOnceValue[] = L"Tavrel";
// The record may grow between sizing and reading it.
constexpr int kReadAttempts = 3;

StoreStatus JournalFailure(LSTATUS status) {
  if (status == ERROR_SUCCESS) return {};
  return StoreStatus{static_cast<ErrorCode>(status), kJournalKeyShown};
}

StoreStatus RunOnceFailure(LSTATUS status) {
  if (status == ERROR_SUCCESS) return {};
  return StoreStatus{static_cast<ErrorCode>(status), kRunOnceValueShown};
}

// The record's bytes and type; ERROR_FILE_NOT_FOUND when there is none.
LSTATUS ReadRecord(HKEY key, std::vector<std::uint8_t>& bytes, DWORD& type) {
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kReadAttempts && status == ERROR_MORE_DATA; ++attempt) {
    DWORD size = 0;
    status = RegQueryValueExW(key, kRecordValue, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    // Never an empty buffer: a null data pointer only asks for the size.
    bytes.assign(std::max<DWORD>(size, 1), 0);
    status = RegQueryValueExW(key, kRecordValue, nullptr, &type, bytes.data(), &size);
    if (status == ERROR_SUCCESS) bytes.resize(size);
  }
  return status;
}

}  // namespace

StoredRecord Win32JournalStore::Read() {
  StoredRecord stored;
  const OpenedKey opened = OpenKey(kJournalKey, KEY_QUERY_VALUE);
  if (opened.error == ERROR_FILE_NOT_FOUND) return stored;
  DWORD type = REG_NONE;
  LSTATUS status = opened.error;
  if (status == ERROR_SUCCESS) status = ReadRecord(opened.key.get(), stored.bytes, type);
  // A key without a record holds nothing to put back: its writer failed
  // before the first change of the EUDC key.
  if (status == ERROR_FILE_NOT_FOUND) return stored;
  if (status == ERROR_SUCCESS && type == REG_BINARY) {
    stored.outcome = StoredRecord::Outcome::Present;
    return stored;
  }
  stored.outcome = StoredRecord::Outcome::Unreadable;
  stored.bytes.clear();
  stored.error = static_cast<ErrorCode>(status);
  return stored;
}

StoreStatus Win32JournalStore::Write(std::span<const std::uint8_t> record) {
  const OpenedKey key = CreateKey(kJournalKey, KEY_SET_VALUE);
  if (key.error != ERROR_SUCCESS) return JournalFailure(key.error);
  // One value, so that a write replaces the record whole or not at all.
  return JournalFailure(RegSetValueExW(key.key.get(), kRecordValue, 0, REG_BINARY, record.data(),
                                       static_cast<DWORD>(record.size())));
}

StoreStatus Win32JournalStore::SetLogonCommand(std::u16string_view command) {
  const OpenedKey key = CreateKey(kRunOnceKey, KEY_SET_VALUE);
  if (key.error != ERROR_SUCCESS) return RunOnceFailure(key.error);
  return RunOnceFailure(WriteValue(key.key.get(), TextValue(Utf16Of(kRunOnceValue), command)));
}

StoreStatus Win32JournalStore::Flush() {
  // One flush writes the whole hive: the RunOnce value with the record.
  const OpenedKey key = OpenKey(kJournalKey, KEY_QUERY_VALUE);
  if (key.error != ERROR_SUCCESS) return JournalFailure(key.error);
  return JournalFailure(RegFlushKey(key.key.get()));
}

StoreStatus Win32JournalStore::Remove() {
  const LSTATUS tree = RegDeleteTreeW(HKEY_CURRENT_USER, kJournalKey);
  if (tree != ERROR_SUCCESS && tree != ERROR_FILE_NOT_FOUND) return JournalFailure(tree);
  RemoveTavrelKeyIfEmpty();
  const OpenedKey key = OpenKey(kRunOnceKey, KEY_SET_VALUE);
  if (key.error == ERROR_FILE_NOT_FOUND) return {};
  if (key.error != ERROR_SUCCESS) return RunOnceFailure(key.error);
  for (const wchar_t* name : {kRunOnceValue, kOlderRunOnceValue}) {
    const LSTATUS status = RegDeleteValueW(key.key.get(), name);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return RunOnceFailure(status);
  }
  return {};
}

void Win32JournalStore::RemoveTavrelKeyIfEmpty() {
  const OpenedKey key = OpenKey(kTavrelKey, KEY_QUERY_VALUE);
  DWORD subKeys = 1, values = 1;
  if (key.error != ERROR_SUCCESS ||
      RegQueryInfoKeyW(key.key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
      subKeys != 0 || values != 0) {
    return;  // gone already, or holding something that is not Tavrel's journal
  }
  // Best effort: an empty key left behind holds nothing, and the next
  // removal tries again.
  RegDeleteKeyW(HKEY_CURRENT_USER, kTavrelKey);
}

}  // namespace tavrel
