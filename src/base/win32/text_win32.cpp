// The ANSI conversions through the system: CP_ACP is code page 932 on a
// Japanese system (and under Wine started with LANG=ja_JP.UTF-8).
#include <windows.h>

#include "base/text.h"
#include "base/win32/wide.h"

namespace tavrel {

std::string Utf8ToAnsi(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Narrow(wide);
}

std::u16string UpperCase(std::u16string_view text) {
  std::u16string upper(text);
  if (!upper.empty()) CharUpperBuffW(AsWide(upper.data()), static_cast<DWORD>(upper.size()));
  return upper;
}

}  // namespace tavrel
