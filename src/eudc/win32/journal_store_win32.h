// The journal's record and the logon's RunOnce value in the user's registry.
#pragma once

#include "eudc/journal_store.h"

namespace tavrel {

class Win32JournalStore final : public IJournalStore {
 public:
  StoredRecord Read() override;
  StoreStatus Write(std::span<const std::uint8_t> record) override;
  StoreStatus SetLogonCommand(std::u16string_view command) override;
  StoreStatus Flush() override;
  // The journal's key, the RunOnce value, and HKCU\Software\Tavrel once it is empty.
  StoreStatus Remove() override;

 private:
  void RemoveTavrelKeyIfEmpty();
};

}  // namespace tavrel
