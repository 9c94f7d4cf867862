#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The characters of a UTF-8 text, each as its bytes. A byte that does not start a well-formed
// sequence, and a character XML does not allow (controls, U+FFFE, U+FFFF), become U+FFFD, so a
// text of any bytes still gives a well-formed document.
std::vector<std::string_view> xml_characters(std::string_view text);

// The text as XML character data or an attribute's value: well-formed as above, with & < > " '
// escaped.
std::string xml_text(std::string_view text);

}  // namespace quorvane
