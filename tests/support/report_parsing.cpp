#include "tests/support/report_parsing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace quorvane::testing {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = text.empty() || text[0] != '\n' ? 0 : 1;
  while (start <= text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::size_t count_of(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos;
       at = text.find(piece, at + piece.size())) {
    ++count;
  }
  return count;
}

std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& line : lines_of(text)) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

double number_after(const std::string& line, const std::string& label) {
  const std::size_t at = line.find(label);
  if (at == std::string::npos) throw std::runtime_error("no '" + label + "' in: " + line);
  return std::strtod(line.c_str() + at + label.size(), nullptr);
}

std::string printf_four_decimals(double value) {
  char text[400];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

std::vector<int> members_of(const std::string& listing_line) {
  std::vector<int> members;
  const std::string head = listing_line.substr(0, listing_line.find(':'));
  std::size_t i = 0;
  while (i < head.size()) {
    if (head[i] >= '0' && head[i] <= '9') {
      std::size_t end = i;
      while (end < head.size() && head[end] >= '0' && head[end] <= '9') ++end;
      members.push_back(std::stoi(head.substr(i, end - i)));
      i = end;
    } else {
      ++i;
    }
  }
  return members;
}

Rows csv_rows(const std::string& text) {
  Rows rows(1, std::vector<std::string>(1));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = rows.back().back();
    if (c == '"' && field.empty()) {
      for (++i;
           i < text.size() && !(text[i] == '"' && (i + 1 == text.size() || text[i + 1] != '"'));
           ++i) {
        if (text[i] == '"') ++i;
        field.push_back(text[i]);
      }
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      rows.emplace_back(1);
    } else {
      EXPECT_NE(c, '\n') << "a row ends without CR";
      field.push_back(c);
    }
  }
  EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "the last row lacks its CR LF";
  rows.pop_back();
  return rows;
}

double read_double(const std::string& field) {
  // strtod, in the C locale the tests run in: some libraries' streams refuse a subnormal value.
  char* end = nullptr;
  const double value = std::strtod(field.c_str(), &end);
  EXPECT_TRUE(!field.empty() && end == field.c_str() + field.size())
      << "the field is not one number: " << field;
  return value;
}

}  // namespace quorvane::testing
