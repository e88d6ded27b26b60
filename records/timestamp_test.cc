#include "records/timestamp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "tests/support/transcript.h"

namespace records {
namespace {

using text::CivilTime;

constexpr CivilTime at(std::int64_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour,
                       std::uint8_t minute, std::uint8_t second, std::uint8_t weekday) {
  return {.year = year,
          .month = month,
          .day = day,
          .hour = hour,
          .minute = minute,
          .second = second,
          .weekday = weekday};
}

bool same(const CivilTime& a, const CivilTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second && a.weekday == b.weekday;
}

// Times that a timestamp lays out, and reads back from, the same text.
struct TimestampCase {
  CivilTime time;
  const char* text = "";
};

void PrintTo(const TimestampCase& c, std::ostream* os) { *os << c.text; }

class TimestampTest : public ::testing::TestWithParam<TimestampCase> {};

TEST_P(TimestampTest, LaysOutTheFieldsAndReadsThemBack) {
  EXPECT_EQ(timestamp_text(GetParam().time).view(), GetParam().text);
  const std::optional<CivilTime> read = read_timestamp(GetParam().text);
  ASSERT_TRUE(read);
  EXPECT_TRUE(same(*read, GetParam().time));
}

INSTANTIATE_TEST_SUITE_P(
    Dates, TimestampTest,
    ::testing::Values(
        TimestampCase{.time = at(2026, 12, 8, 22, 42, 40, 2), .text = "Tue Dec 08 22:42:40 2026"},
        TimestampCase{.time = at(2027, 1, 1, 9, 5, 3, 5), .text = "Fri Jan 01 09:05:03 2027"},
        TimestampCase{.time = at(1970, 1, 1, 0, 0, 0, 4), .text = "Thu Jan 01 00:00:00 1970"},
        TimestampCase{.time = at(2000, 2, 29, 0, 0, 0, 2), .text = "Tue Feb 29 00:00:00 2000"},
        // A leap second, as a local-time breakdown may give it.
        TimestampCase{.time = at(2016, 12, 31, 23, 59, 60, 6), .text = "Sat Dec 31 23:59:60 2016"},
        // "%4d": year 999 is right-aligned in four places; 10000 takes five.
        TimestampCase{.time = at(999, 12, 31, 0, 0, 0, 2), .text = "Tue Dec 31 00:00:00  999"},
        TimestampCase{.time = at(10000, 1, 1, 0, 0, 0, 6), .text = "Sat Jan 01 00:00:00 10000"},
        TimestampCase{.time = at(-44, 3, 15, 12, 0, 0, 4), .text = "Thu Mar 15 12:00:00  -44"}));

TEST(TimestampText, ShowsAWeekdayOrMonthOutOfRangeAsTheFirstName) {
  EXPECT_EQ(timestamp_text(at(2026, 13, 8, 10, 0, 0, 7)).view(), "Sun Jan 08 10:00:00 2026");
  // Fields far out of range still fit the buffer whole.
  EXPECT_EQ(timestamp_text(at(INT64_MIN, 255, 255, 255, 255, 255, 255)).view(),
            "Sun Jan 255 255:255:255 -9223372036854775808");
}

TEST(TimestampText, UnknownTimeGivesThePlaceholderOfTheSameShape) {
  EXPECT_EQ(timestamp_text(std::nullopt).view(), testing_support::kNoTime);
  EXPECT_EQ(timestamp_text(CivilTime{}).view(), testing_support::kNoTime);
  EXPECT_EQ(timestamp_text(std::nullopt).view().size(),
            timestamp_text(at(2026, 12, 8, 22, 42, 40, 2)).view().size());
  const std::optional<CivilTime> read = read_timestamp(testing_support::kNoTime);
  ASSERT_TRUE(read);
  EXPECT_FALSE(read->known());
}

struct WrongCase {
  const char* text;
  const char* why;
};

TEST(ReadTimestamp, RefusesEveryTextThatIsNoTimestamp) {
  const WrongCase cases[] = {
      {.text = "Tue Dec 08 22:42:40", .why = "no year"},
      {.text = "Tue Dez 08 22:42:40 2026", .why = "an unknown month"},
      {.text = "Tus Dec 08 22:42:40 2026", .why = "an unknown weekday"},
      {.text = "Wed Dec 08 22:42:40 2026", .why = "the wrong weekday"},
      {.text = "Mon Feb 29 00:00:00 2100", .why = "no 29th: 2100 is no leap year"},
      {.text = "Tue Dec 00 22:42:40 2026", .why = "day 0"},
      {.text = "Tue Dec 08 24:00:00 2026", .why = "hour 24"},
      {.text = "Tue Dec 08 22:60:40 2026", .why = "minute 60"},
      {.text = "Tue Dec 08 22:42:61 2026", .why = "second 61"},
      {.text = "Tue Dec 08 22-42-40 2026", .why = "no colons"},
      {.text = "Tue Dec  8 22:42:40 2026", .why = "a day not padded with 0"},
      {.text = "Tue Dec 08 22:42:40 02026", .why = "a year with a leading zero"},
      {.text = "Tue Dec 31 00:00:00 999", .why = "a short year not right-aligned"},
      {.text = "Tue Dec 08 22:42:40 2026 ", .why = "text after the year"},
      {.text = "??? ??? ?? ??:??:?? ???", .why = "a cut placeholder"},
  };
  for (const WrongCase& c : cases) EXPECT_FALSE(read_timestamp(c.text)) << c.why;
}

// A log's timestamps of one date are read by their time of day alone: the
// reader gives the same times as reading each whole, and a text that is no
// timestamp changes nothing.
TEST(TimestampReaderTest, ReadsTimesOfTheSameDateAsWholeTextsAre) {
  const char* const texts[] = {
      "Tue Dec 08 10:04:00 2026", "Tue Dec 08 10:00:00 2026", "Tue Dec 08 23:59:60 2026",
      "Tue Dec 08 24:00:00 2026", "??? ??? ?? ??:??:?? ????", "Tue Dec 08 09:30:00 2026",
      "Wed Dec 09 00:00:01 2026", "Tue Dec 08 00:00:00 2026", "Tue Dec 08 25:00:00 2026",
  };
  TimestampReader reader;
  for (const char* text : texts) {
    CivilTime time = at(1, 1, 1, 1, 1, 1, 1);
    const CivilTime before = time;
    const std::optional<CivilTime> whole = read_timestamp(text);
    EXPECT_EQ(reader.read(text, &time), whole.has_value()) << text;
    EXPECT_TRUE(same(time, whole ? *whole : before)) << text;
  }
}

// The time of day of a text of the last date is read eight bytes at once:
// every byte put in any of its places, a digit, a colon or a byte just
// below or above them, gives what reading the whole text gives.
TEST(TimestampReaderTest, ReadsEveryByteOfATimeOfDayAsWholeTextsAre) {
  const std::string base = "Tue Dec 08 19:59:59 2026";
  const unsigned char bytes[] = {0x00, ' ', '/', '0', '1',  '2',  '3',  '4',  '5',  '6',  '7', '8',
                                 '9',  ':', ';', 'A', 0x7F, 0x80, 0x89, 0x8A, 0xCF, 0xD0, 0xFF};
  for (std::size_t place = 11; place < 19; ++place) {
    for (const unsigned char byte : bytes) {
      std::string text = base;
      text[place] = static_cast<char>(byte);
      TimestampReader reader;
      CivilTime time;
      ASSERT_TRUE(reader.read(base, &time));  // the date is now the last one
      const CivilTime before = time;
      const std::optional<CivilTime> whole = read_timestamp(text);
      EXPECT_EQ(reader.read(text, &time), whole.has_value()) << text;
      EXPECT_TRUE(same(time, whole ? *whole : before)) << text;
    }
  }
}

struct IsoCase {
  std::string_view text;  // a timestamp text as logged
  std::string_view iso;   // what put_iso_date_time_of writes; empty for nothing
};

// A row copies the digits of the logged text where it has them all, and
// writes nothing for a text whose year is padded or longer, or for the
// placeholder.
TEST(TimestampIsoTest, CopiesTheDigitsOfATextOfAFourDigitYear) {
  const IsoCase cases[] = {
      {.text = "Tue Dec 08 22:42:40 2026", .iso = "2026-12-08T22:42:40"},
      {.text = "Thu Jan 01 00:00:00 1970", .iso = "1970-01-01T00:00:00"},
      {.text = "Fri Dec 31 23:59:60 9999", .iso = "9999-12-31T23:59:60"},
      {.text = "Tue Sep 09 09:09:09 1000", .iso = "1000-09-09T09:09:09"},
      {.text = "Sun Oct 31 10:10:10 2027", .iso = "2027-10-31T10:10:10"},
      {.text = "Thu Jan 01 00:00:05   99", .iso = ""},
      {.text = "Tue Dec 31 00:00:00  999", .iso = ""},
      {.text = "Tue Dec 08 10:00:00 12026", .iso = ""},
      {.text = "??? ??? ?? ??:??:?? ????", .iso = ""},
  };
  for (const IsoCase& c : cases) {
    const std::optional<CivilTime> time = read_timestamp(c.text);
    ASSERT_TRUE(time) << c.text;
    char row[32];
    const char* end = put_iso_date_time_of(c.text, *time, 'T', row);
    EXPECT_EQ(end == nullptr ? std::string_view() : std::string_view(row, end - row), c.iso)
        << c.text;
  }
}

}  // namespace
}  // namespace records
