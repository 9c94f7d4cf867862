#include "web/outcome_bytes.h"

#include <cmath>
#include <cstdint>

#include "reports/export_text.h"
#include "web/outcome_bytes_internal.h"

namespace quorvane {
namespace {

void append_text(std::string& out, const std::string& text) {
  auto length = static_cast<std::uint32_t>(text.size());
  for (int byte = 0; byte < 4; ++byte) {
    out.push_back(static_cast<char>(length & 0xFFu));
    length >>= 8;
  }
  out += text;
}

void append_record(std::string& out, char kind, const std::string& name, const std::string& text) {
  out.push_back(kind);
  append_text(out, name);
  append_text(out, text);
}

// Writes JSON: each value after the separator its place needs.
class Json {
 public:
  std::string take() { return std::move(out_); }

  Json& key(const char* name) {
    separate();
    out_ += '"';
    out_ += name;
    out_ += "\":";
    fresh_ = true;
    return *this;
  }
  Json& open(char bracket) {
    separate();
    out_ += bracket;
    fresh_ = true;
    return *this;
  }
  Json& close(char bracket) {
    out_ += bracket;
    fresh_ = false;
    return *this;
  }
  Json& number(double value) {
    separate();
    if (std::isfinite(value)) {
      export_text::append_shortest(out_, value);
    } else {
      out_ += "null";
    }
    return *this;
  }
  Json& optional(const std::optional<double>& value) {
    if (value) return number(*value);
    separate();
    out_ += "null";
    return *this;
  }
  Json& whole(long long value) {
    separate();
    export_text::append_whole(out_, value);
    return *this;
  }
  Json& boolean(bool value) {
    separate();
    out_ += value ? "true" : "false";
    return *this;
  }
  // A string's bytes as they are, the quote, the backslash and control characters escaped.
  Json& text(const std::string& value) {
    static const char hex[] = "0123456789abcdef";
    separate();
    out_ += '"';
    for (const char c : value) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        out_ += '\\';
        out_ += c;
      } else if (byte < 0x20) {
        out_ += "\\u00";
        out_ += hex[byte >> 4];
        out_ += hex[byte & 0xF];
      } else {
        out_ += c;
      }
    }
    out_ += '"';
    return *this;
  }

 private:
  void separate() {
    if (!fresh_ && !out_.empty()) out_ += ',';
    fresh_ = false;
  }

  std::string out_;
  bool fresh_ = true;
};

void append_best(Json& json, const char* name, const BestSet& best) {
  json.key(name).open('{');
  json.key("found").boolean(best.found);
  json.key("row").whole(best.row);
  json.key("column").whole(best.column);
  json.key("chiSquare").number(best.chi_square);
  json.key("mean").number(best.mean);
  json.key("variance").number(best.variance);
  json.key("groups").open('[');
  for (const ChosenGroup& group : best.groups) {
    json.open('{');
    json.key("members").open('[');
    for (const int member : group.members) json.whole(member);
    json.close(']');
    json.key("labels").open('[');
    for (const std::string& label : group.labels) json.text(label);
    json.close(']');
    json.key("numberCorrect").whole(group.number_correct);
    json.close('}');
  }
  json.close(']');
  json.close('}');
}

}  // namespace

std::string run_values_json(const RunOutcome& run) {
  Json json;
  json.open('{');
  json.key("seed").whole(run.seed);
  json.key("groupSize").whole(run.group_size);
  json.key("participants").whole(run.participants);
  json.key("items").whole(run.items);
  json.key("overallMean").number(run.overall_mean);
  json.key("overallVariance").number(run.overall_variance);
  json.key("exact").open('{');
  json.key("mean").optional(run.exact.mean);
  json.key("variance").optional(run.exact.variance);
  json.key("percentages").open('[');
  for (const double percentage : run.exact.percentages) json.number(percentage);
  json.close(']');
  json.close('}');
  append_best(json, "mv", run.mv);
  append_best(json, "dist", run.dist);
  json.close('}');
  return json.take();
}

std::string outcome_bytes(const BrowserOutcome& outcome) {
  std::string out;
  if (outcome.error) append_record(out, 'E', "", *outcome.error);
  for (const std::string& note : outcome.notes) append_record(out, 'N', "", note);
  if (!outcome.run) return out;
  for (const NamedText& report : outcome.run->reports) {
    append_record(out, 'R', report.file_name, report.text);
  }
  for (const NamedText& file : outcome.run->exports) {
    append_record(out, 'X', file.file_name, file.text);
  }
  append_record(out, 'V', "", run_values_json(*outcome.run));
  return out;
}

}  // namespace quorvane
