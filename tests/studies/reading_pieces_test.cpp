// A data file larger than a piece of the reading (kReadingPiece), read by each of the reader's
// passes a piece at a time, with the pause between pieces that lets a mapped file's pages go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "studies/study.h"
#include "studies/text_decoding.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

constexpr int kParticipants = 700;
constexpr int kItems = 1000;  // 2,000 bytes a line: 1.4 MB in all

// Catches a piece of the text skipped, read twice or cut short where one piece ends and the next
// begins, in the stream of bare numbers and in the records of a table; or a pause that never
// comes: the study read back response for response, typed and untyped.
TEST(ReadingPieces, AStudyOfSeveralPiecesIsReadWhole) {
  const std::vector<int> responses = testing::made_up_responses(kParticipants, kItems, 3u);
  const std::string text = testing::data_file_text(responses, kItems);
  ASSERT_GT(text.size(), kReadingPiece + kReadingPiece / 4);
  for (const bool typed : {true, false}) {
    int pauses = 0;
    const StudyLoad load = load_study(
        text, typed ? std::optional<StudyShape>(StudyShape{kParticipants, kItems}) : std::nullopt,
        [&pauses] { ++pauses; });
    ASSERT_TRUE(load.loaded()) << load.refusal.message;
    EXPECT_TRUE(testing::responses_of(load.study->responses) == responses);
    // Each pass over a text of two pieces pauses between them, and there are two passes at least
    // (the search for NUL bytes, then the responses).
    EXPECT_GE(pauses, 3) << (typed ? "typed" : "untyped");
  }
}

// Catches a NUL byte looked for in the first piece alone: one in a later piece, whose line the
// refusal names, and which it says makes the file no plain text.
TEST(ReadingPieces, ANulByteBeyondTheFirstPieceIsFound) {
  std::string text =
      testing::data_file_text(testing::made_up_responses(kParticipants, kItems, 4u), kItems);
  const std::size_t at = kReadingPiece + 2000 * 5;  // line 525 + 6 of 2,000 bytes
  text[at] = '\0';
  const StudyLoad load = load_study(text, std::nullopt);
  ASSERT_FALSE(load.loaded());
  EXPECT_EQ(load.refusal.line, static_cast<long>(at / 2000) + 1);
  EXPECT_NE(load.refusal.message.find("not plain text"), std::string::npos) << load.refusal.message;
}

// Catches a byte-order mark cut in two where a piece of the reading ends (its first bytes read as
// a number's, or the mark missed by the note): bare numbers with a mark starting just before, at
// and just after the end of the first piece, read whole, the mark counted once.
TEST(ReadingPieces, AMarkAtTheEndOfAPieceIsSkippedWhole) {
  const std::vector<int> responses = testing::made_up_responses(kParticipants, kItems, 5u);
  for (const std::size_t at : {kReadingPiece - 3, kReadingPiece - 2, kReadingPiece - 1,
                               kReadingPiece, kReadingPiece + 1}) {
    std::string text;
    for (const int response : responses) {
      if (text.size() <= at && at < text.size() + 2) {
        text.append(at - text.size(), ' ');
        text += "\xEF\xBB\xBF";
      }
      text += static_cast<char>('0' + response);
      text += ' ';
    }
    const StudyLoad load = load_study(text, StudyShape{kParticipants, kItems}, [] {});
    ASSERT_TRUE(load.loaded()) << at << ": " << load.refusal.message;
    EXPECT_TRUE(testing::responses_of(load.study->responses) == responses) << at;
    ASSERT_FALSE(load.study->reading.notes.empty()) << at;
    EXPECT_EQ(load.study->reading.notes[0].rfind("line 1 of the file holds a byte-order mark", 0),
              0u)
        << at << ": " << load.study->reading.notes[0];
  }
}

// Catches a byte of another encoding missed where the text is looked through eight characters at
// a time (a lane of the word not looked at, the last characters of the text skipped), or a
// character of UTF-8 cut where a word of eight ends: one such byte, or one such character, at
// every place of texts of 1 to 19 characters.
TEST(ReadingPieces, EveryPlaceOfAByteThatIsNotUtf8IsFound) {
  for (std::size_t size = 1; size < 20; ++size) {
    EXPECT_TRUE(is_utf8(std::string(size, 'a'))) << size;
    for (std::size_t at = 0; at < size; ++at) {
      std::string text(size, '1');
      text[at] = '\xE9';  // Windows-1252's e acute
      EXPECT_FALSE(is_utf8(text)) << size << ", " << at;
      text.replace(at, 1, "\xC3\xA9");  // UTF-8's
      EXPECT_TRUE(is_utf8(text)) << size << ", " << at;
    }
  }
  // Catches pieces checked two at a time (half the pauses) or a character cut where a piece ends.
  std::string text(2 * kReadingPiece + 3, 'a');
  text.replace(kReadingPiece - 1, 2, "\xC3\xA9");
  int pauses = 0;
  EXPECT_TRUE(is_utf8(text, [&pauses] { ++pauses; }));
  EXPECT_EQ(pauses, 2);
}

}  // namespace
}  // namespace quorvane
