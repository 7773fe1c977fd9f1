// Replaces the character entities of XML text ("&lt;", "&amp;", ...) by the characters they stand for.
#pragma once

#include <string>
#include <string_view>

namespace Kit {

// lt, amp, gt, quot, apos, nbsp (a space) and cr (a line feed) become their character; any other
// name between '&' and ';' leaves a lone '&'; a '&' without a later ';' is copied as it is.
std::string DecodeXMLEntities(std::string_view text);

}  // namespace Kit
