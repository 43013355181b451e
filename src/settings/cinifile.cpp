#include "settings/cinifile.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace tavrel {
namespace {

constexpr DWORD kBufferSize = 1024;

}  // namespace

cInifile::cInifile(IProfile& profile, IVariantConversions& variants)
    : profile_(profile), variants_(variants) {}

const std::string& cInifile::FileName() const { return fileName_; }

void cInifile::FileName(std::string_view vData) { fileName_ = vData; }

LONG cInifile::Refresh() {
  return profile_.WritePrivateProfileStringA(nullptr, nullptr, nullptr,
                                             Utf8ToAnsi(fileName_).c_str());
}

LONG cInifile::WriteStr(std::string_view Section, std::string_view Key, std::string_view sData) {
  return profile_.WritePrivateProfileStringA(Utf8ToAnsi(Section).c_str(), Utf8ToAnsi(Key).c_str(),
                                             Utf8ToAnsi(sData).c_str(),
                                             Utf8ToAnsi(fileName_).c_str());
}

LONG cInifile::DeleteSection(std::string_view Section) {
  return profile_.WritePrivateProfileStringA(Utf8ToAnsi(Section).c_str(), nullptr, nullptr,
                                             Utf8ToAnsi(fileName_).c_str());
}

std::string cInifile::ReadStr(std::string_view Section, std::string_view Key,
                              std::string_view Def) {
  std::array<char, kBufferSize> buffer{};
  const DWORD n =
      profile_.GetPrivateProfileStringA(Utf8ToAnsi(Section).c_str(), Utf8ToAnsi(Key).c_str(), "",
                                        buffer.data(), kBufferSize, Utf8ToAnsi(fileName_).c_str());
  if (n == 0) return std::string(Def);
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return AnsiToUtf8(std::string_view(buffer.data(), static_cast<size_t>(end - buffer.begin())));
}

SHORT cInifile::ReadInt(std::string_view Section, std::string_view Key, SHORT Def) {
  const std::u16string text = Utf8ToUtf16(ReadStr(Section, Key, std::to_string(Def)));
  SHORT value = 0;
  return Succeeded(variants_.VarI2FromStr(text.c_str(), kLocaleUserDefault, 0, &value)) ? value : 0;
}

OleDate cInifile::ReadDate(std::string_view Section, std::string_view Key, OleDate Def) {
  OleDate result = variants_.Now();
  std::u16string defText;
  if (!Succeeded(variants_.VarBstrFromDate(Def, kLocaleUserDefault, 0, &defText))) return result;
  const std::u16string text = Utf8ToUtf16(ReadStr(Section, Key, Utf16ToUtf8(defText)));
  OleDate value;
  if (Succeeded(variants_.VarDateFromStr(text.c_str(), kLocaleUserDefault, 0, &value)))
    result = value;
  return result;
}

}  // namespace tavrel
