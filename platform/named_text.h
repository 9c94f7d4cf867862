#pragma once

#include <string>

namespace quorvane {

// A file's name and its whole text: a report's section, an export's file, a file to append.
// Every layer hands files over as this one type.
struct NamedText {
  std::string file_name;
  std::string text;
};

}  // namespace quorvane
