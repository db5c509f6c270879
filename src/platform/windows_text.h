// UTF-8 <-> UTF-16 for the Windows wide-character calls. Invalid UTF-8 becomes U+FFFD.
#pragma once

#include <string>

std::wstring WideText(const std::string& utf8);
std::string Utf8Text(const std::wstring& wide);
