#pragma once
// Text from the host suite arrives either as UTF-8 or in the Traditional Chinese code
// page (Big5, code page 950). Inside the program every text is UTF-8.

#include <string>
#include <string_view>

namespace ceph::base {

bool IsValidUtf8(std::string_view bytes);

// UTF-16 with its byte-order mark (FF FE or FE FF) is decoded as UTF-16; valid UTF-8
// (with or without a byte-order mark) is taken as it is; anything else is decoded as
// code page 950. Bytes that are not valid there become U+FFFD.
std::string DecodeHostText(std::string_view bytes);

// Code page 950 to UTF-8.
std::string Big5ToUtf8(std::string_view bytes);
// UTF-8 to code page 950, for files that must be written in the host's code page.
std::string Utf8ToBig5(std::string_view text);

}  // namespace ceph::base
