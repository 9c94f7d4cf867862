// Whole runs of the largest studies, and of ones whose participants do not divide into full
// groups, compared section by section with the digests recorded before the computation was made
// faster: any change of any byte of any report shows here.
#include "tests/simulation/whole_run_digests.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/editions.h"
#include "tests/support/fnv1a.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

using testing::DigestedRun;
using testing::edition_of;
using testing::SectionDigest;

// The row of kDigestedRuns that the run's sections make.
std::string row_of(const DigestedRun& run, const ReportSections& sections) {
  char text[160];
  std::snprintf(text, sizeof text, "    {%d, %d, %d, %u, %uu,\n     {{", run.group_size,
                run.participants, run.items, run.responses_seed, run.seed);
  std::string row = text;
  for (std::size_t file = 0; file < sections.size(); ++file) {
    const std::string& section = sections[file].text;
    std::snprintf(text, sizeof text, "%s{%zuu, 0x%016llxull}", file == 0 ? "" : ",\n       ",
                  section.size(), static_cast<unsigned long long>(testing::fnv1a_64(section)));
    row += text;
  }
  return row + "}}},";
}

TEST(WholeRunDigests, EverySectionIsAsRecorded) {
  for (const DigestedRun& recorded : testing::kDigestedRuns) {
    const EditionProfile& edition = edition_of(recorded.group_size);
    const ReportSections sections = testing::sections_of_run(
        edition,
        testing::made_up_responses(recorded.participants, recorded.items, recorded.responses_seed),
        recorded.participants, recorded.items, recorded.seed);
    bool same = true;
    for (std::size_t file = 0; file < recorded.sections.size(); ++file) {
      const std::string& text = sections[file].text;
      const SectionDigest& expected = recorded.sections[file];
      EXPECT_EQ(text.size(), expected.length) << edition.program_name << " file " << file + 1;
      EXPECT_EQ(testing::fnv1a_64(text), expected.fnv1a)
          << edition.program_name << " file " << file + 1;
      same = same && text.size() == expected.length && testing::fnv1a_64(text) == expected.fnv1a;
    }
    if (!same) ADD_FAILURE() << "the run now reads:\n" << row_of(recorded, sections);
  }
}

// A digest that ignored some bytes would let changed reports through.
TEST(WholeRunDigests, TheDigestIsFnv1aOfEveryByte) {
  EXPECT_EQ(testing::fnv1a_64(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(testing::fnv1a_64("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(testing::fnv1a_64("foobar"), 0x85944171f73967e8ull);
  EXPECT_NE(testing::fnv1a_64(std::string("a\0b", 3)), testing::fnv1a_64(std::string("a\0c", 3)));
  EXPECT_NE(testing::fnv1a_64("\xff"), testing::fnv1a_64("\x7f"));
}

}  // namespace
}  // namespace quorvane
