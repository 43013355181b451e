// One INI settings file, read and written through the profile calls on every
// operation (nothing is cached here). Text is UTF-8; it crosses the ANSI
// profile calls in the system code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/profile_api.h"
#include "platform/variant_api.h"

namespace tavrel {

class cInifile {
 public:
  cInifile(IProfile& profile, IVariantConversions& variants);

  // inifileの名前(パス名を含む): the INI file's name, path included.
  const std::string& FileName() const;
  // Flushes the system's cached copy of the file; the call's result.
  LONG Refresh();
  LONG WriteStr(std::string_view Section, std::string_view Key, std::string_view sData);
  // The value, cut to 1023 code-page bytes; Def when it is missing or empty.
  std::string ReadStr(std::string_view Section, std::string_view Key, std::string_view Def);
  // Def when the key is missing; 0 when its value is not a number in range.
  SHORT ReadInt(std::string_view Section, std::string_view Key, SHORT Def);
  LONG DeleteSection(std::string_view Section);
  // Def (to the second) when the key is missing; now when its value is not a date.
  OleDate ReadDate(std::string_view Section, std::string_view Key, OleDate Def);
  void FileName(std::string_view vData);

 private:
  IProfile& profile_;
  IVariantConversions& variants_;
  std::string fileName_;
};

}  // namespace tavrel
