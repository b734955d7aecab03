#include "stamping/validation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <variant>

namespace {

using platform::LocalDateTime;
using stamping::readInteger;
using stamping::TimeFieldTexts;
using stamping::validateStartTime;

struct ReadCase {
  std::string text;
  std::optional<std::int32_t> value;
};

class ReadIntegerTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadIntegerTest, ReadsOrRefuses) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(readInteger(c.text), c.value) << "text \"" << c.text << "\"";
}

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Accepted, ReadIntegerTest,
    testing::Values(ReadCase{"5", 5}, ReadCase{"05", 5}, ReadCase{"0", 0},
                    ReadCase{"0000000000005", 5}, ReadCase{" 5", 5}, ReadCase{"    12", 12},
                    ReadCase{"+5", 5}, ReadCase{"-1", -1}, ReadCase{"-0", 0}, ReadCase{"  -7", -7},
                    ReadCase{"$C", 12}, ReadCase{"$c", 12}, ReadCase{"xff", 255},
                    ReadCase{"XfF", 255}, ReadCase{"0x1F", 31}, ReadCase{"0X1f", 31},
                    ReadCase{" $10", 16}, ReadCase{"0x0", 0}, ReadCase{"$00000000000000FF", 255},
                    ReadCase{"2147483647", kMax}, ReadCase{"-2147483648", kMin},
                    ReadCase{"$7FFFFFFF", kMax}, ReadCase{"+0002147483647", kMax}));

INSTANTIATE_TEST_SUITE_P(
    Refused, ReadIntegerTest,
    testing::Values(
        ReadCase{"", std::nullopt}, ReadCase{" ", std::nullopt}, ReadCase{"   ", std::nullopt},
        ReadCase{"+", std::nullopt}, ReadCase{"-", std::nullopt}, ReadCase{"  -", std::nullopt},
        ReadCase{"$", std::nullopt}, ReadCase{"x", std::nullopt}, ReadCase{"0x", std::nullopt},
        ReadCase{"0X", std::nullopt}, ReadCase{"5 ", std::nullopt}, ReadCase{"5a", std::nullopt},
        ReadCase{"20a9", std::nullopt}, ReadCase{"-$5", std::nullopt},
        ReadCase{"+0x5", std::nullopt}, ReadCase{"-x5", std::nullopt},
        ReadCase{"$-5", std::nullopt}, ReadCase{"- 5", std::nullopt}, ReadCase{"$ 5", std::nullopt},
        ReadCase{"0x 5", std::nullopt}, ReadCase{"\t5", std::nullopt},
        ReadCase{"5\r\n", std::nullopt}, ReadCase{"1e3", std::nullopt},
        ReadCase{"1.0", std::nullopt}, ReadCase{"$G", std::nullopt},
        ReadCase{"0x0x1", std::nullopt}, ReadCase{"１２", std::nullopt},  // full-width digits
        ReadCase{"2147483648", std::nullopt}, ReadCase{"-2147483649", std::nullopt},
        ReadCase{"$80000000", std::nullopt}, ReadCase{"$FFFFFFFF", std::nullopt},
        ReadCase{"99999999999999999999999", std::nullopt},
        ReadCase{"0x123456789ABCDEF0123", std::nullopt}));

// One OK press: six texts and the current year; the result is either the start
// time or the message.
struct ValidationCase {
  const char* name;
  TimeFieldTexts fields;
  std::variant<LocalDateTime, std::string> expected;
};

constexpr std::uint16_t kCurrentYear = 2024;

class ValidateStartTimeTest : public testing::TestWithParam<ValidationCase> {};

TEST_P(ValidateStartTimeTest, GivesStartTimeOrTheFirstMessage) {
  const ValidationCase& c = GetParam();
  const stamping::ValidationResult result = validateStartTime(c.fields, kCurrentYear);
  if (const auto* message = std::get_if<std::string>(&c.expected)) {
    ASSERT_TRUE(std::holds_alternative<std::string>(result))
        << "expected the message \"" << *message << "\"";
    EXPECT_EQ(std::get<std::string>(result), *message);
  } else {
    ASSERT_TRUE(std::holds_alternative<LocalDateTime>(result))
        << "unexpected message \"" << std::get<std::string>(result) << "\"";
    EXPECT_EQ(std::get<LocalDateTime>(result), std::get<LocalDateTime>(c.expected));
  }
}

std::string caseName(const testing::TestParamInfo<ValidationCase>& info) { return info.param.name; }

const std::string kMissing = "入力されてない箇所があります";

INSTANTIATE_TEST_SUITE_P(
    Presence, ValidateStartTimeTest,
    testing::Values(ValidationCase{"AllEmpty", {"", "", "", "", "", ""}, kMissing},
                    ValidationCase{"OnlyMonthEmpty", {"2009", "", "5", "12", "30", "0"}, kMissing},
                    ValidationCase{"OnlySecondEmpty", {"2009", "3", "5", "12", "30", ""}, kMissing},
                    // Presence is tested over all six before any field is read.
                    ValidationCase{
                        "EmptyAfterBadYear", {"20a9", "3", "5", "12", "30", ""}, kMissing},
                    ValidationCase{"SpacesAreNotEmpty",
                                   {"2009", "  ", "5", "12", "30", "0"},
                                   "月の入力が間違ってます\r\n\r\n  "}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Year, ValidateStartTimeTest,
    testing::Values(
        ValidationCase{
            "Y1899", {"1899", "3", "5", "0", "0", "0"}, "年の範囲が無効です\r\n\r\n1899"},
        ValidationCase{
            "Y1900", {"1900", "1", "1", "0", "0", "0"}, LocalDateTime{1900, 1, 1, 0, 0, 0}},
        ValidationCase{"CurrentYear",
                       {"2024", "12", "31", "23", "59", "59"},
                       LocalDateTime{2024, 12, 31, 23, 59, 59}},
        ValidationCase{"CurrentYearPlusOne",
                       {"2025", "1", "1", "0", "0", "0"},
                       "年の範囲が無効です\r\n\r\n2025"},
        ValidationCase{
            "Y20a9", {"20a9", "3", "5", "0", "0", "0"}, "年の入力が間違ってます\r\n\r\n20a9"},
        ValidationCase{"LeadingSpaceKeptInMessage",
                       {" 1899", "3", "5", "0", "0", "0"},
                       "年の範囲が無効です\r\n\r\n 1899"},
        ValidationCase{
            "SpacesOnly", {"    ", "3", "5", "0", "0", "0"}, "年の入力が間違ってます\r\n\r\n    "},
        ValidationCase{
            "Negative", {"-2009", "3", "5", "0", "0", "0"}, "年の範囲が無効です\r\n\r\n-2009"},
        ValidationCase{"HexTakenAtItsValue",
                       {"$7D9", "3", "5", "0", "0", "0"},
                       LocalDateTime{2009, 3, 5, 0, 0, 0}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Month, ValidateStartTimeTest,
    testing::Values(
        ValidationCase{"M0", {"2009", "0", "5", "0", "0", "0"}, "月の範囲が無効です\r\n\r\n0"},
        ValidationCase{"M13", {"2009", "13", "5", "0", "0", "0"}, "月の範囲が無効です\r\n\r\n13"},
        ValidationCase{"MinusOneIsOutOfRange",
                       {"2009", "-1", "5", "0", "0", "0"},
                       "月の範囲が無効です\r\n\r\n-1"},
        ValidationCase{
            "LeadingSpace", {"2009", " 5", "5", "0", "0", "0"}, LocalDateTime{2009, 5, 5, 0, 0, 0}},
        ValidationCase{"TrailingSpace",
                       {"2009", "5 ", "5", "0", "0", "0"},
                       "月の入力が間違ってます\r\n\r\n5 "},
        ValidationCase{
            "LeadingZero", {"2009", "07", "5", "0", "0", "0"}, LocalDateTime{2009, 7, 5, 0, 0, 0}},
        ValidationCase{
            "PlusSign", {"2009", "+5", "5", "0", "0", "0"}, LocalDateTime{2009, 5, 5, 0, 0, 0}},
        ValidationCase{
            "HexDollar", {"2009", "$C", "5", "0", "0", "0"}, LocalDateTime{2009, 12, 5, 0, 0, 0}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Day, ValidateStartTimeTest,
    testing::Values(
        ValidationCase{"D0", {"2009", "3", "0", "0", "0", "0"}, "日の範囲が無効です\r\n\r\n0"},
        ValidationCase{"D32", {"2009", "3", "32", "0", "0", "0"}, "日の範囲が無効です\r\n\r\n32"},
        ValidationCase{
            "D32InApril", {"2009", "4", "32", "0", "0", "0"}, "日の範囲が無効です\r\n\r\n32"},
        ValidationCase{
            "BadDay", {"2009", "3", "3a", "0", "0", "0"}, "日の入力が間違ってます\r\n\r\n3a"},
        ValidationCase{"April31", {"2009", "4", "31", "0", "0", "0"}, "その月の31日は無効です"},
        ValidationCase{"June31", {"2009", "6", "31", "0", "0", "0"}, "その月の31日は無効です"},
        ValidationCase{"September31", {"2009", "9", "31", "0", "0", "0"}, "その月の31日は無効です"},
        ValidationCase{"November31", {"2009", "11", "31", "0", "0", "0"}, "その月の31日は無効です"},
        ValidationCase{"February31", {"2009", "2", "31", "0", "0", "0"}, "その月の31日は無効です"},
        ValidationCase{"February30", {"2000", "2", "30", "0", "0", "0"}, "その月の30日は無効です"},
        ValidationCase{
            "February29In1900", {"1900", "2", "29", "0", "0", "0"}, "その月の29日は無効です"},
        ValidationCase{
            "February29In2009", {"2009", "2", "29", "0", "0", "0"}, "その月の29日は無効です"},
        ValidationCase{"February29In2000",
                       {"2000", "2", "29", "0", "0", "0"},
                       LocalDateTime{2000, 2, 29, 0, 0, 0}},
        ValidationCase{"February29In2004",
                       {"2004", "2", "29", "0", "0", "0"},
                       LocalDateTime{2004, 2, 29, 0, 0, 0}},
        ValidationCase{
            "February28", {"1900", "2", "28", "0", "0", "0"}, LocalDateTime{1900, 2, 28, 0, 0, 0}},
        ValidationCase{
            "April30", {"2009", "4", "30", "0", "0", "0"}, LocalDateTime{2009, 4, 30, 0, 0, 0}},
        ValidationCase{
            "January31", {"2009", "1", "31", "0", "0", "0"}, LocalDateTime{2009, 1, 31, 0, 0, 0}},
        ValidationCase{
            "August31", {"2009", "8", "31", "0", "0", "0"}, LocalDateTime{2009, 8, 31, 0, 0, 0}},
        ValidationCase{"December31",
                       {"2009", "12", "31", "0", "0", "0"},
                       LocalDateTime{2009, 12, 31, 0, 0, 0}},
        // The month is read with its value, so "$B" is November.
        ValidationCase{
            "HexMonthNovember31", {"2009", "$B", "31", "0", "0", "0"}, "その月の31日は無効です"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    TimeOfDay, ValidateStartTimeTest,
    testing::Values(
        ValidationCase{"H24", {"2009", "3", "5", "24", "0", "0"}, "時の範囲が無効です\r\n\r\n24"},
        ValidationCase{
            "HMinus1", {"2009", "3", "5", "-1", "0", "0"}, "時の範囲が無効です\r\n\r\n-1"},
        ValidationCase{
            "BadHour", {"2009", "3", "5", "1:", "0", "0"}, "時の入力が間違ってます\r\n\r\n1:"},
        ValidationCase{"M60", {"2009", "3", "5", "0", "60", "0"}, "分の範囲が無効です\r\n\r\n60"},
        ValidationCase{
            "BadMinute", {"2009", "3", "5", "0", "+", "0"}, "分の入力が間違ってます\r\n\r\n+"},
        ValidationCase{"S60", {"2009", "3", "5", "0", "0", "60"}, "秒の範囲が無効です\r\n\r\n60"},
        ValidationCase{
            "BadSecond", {"2009", "3", "5", "0", "0", "$"}, "秒の入力が間違ってます\r\n\r\n$"},
        ValidationCase{"LastSecondOfDay",
                       {"2009", "3", "5", "23", "59", "59"},
                       LocalDateTime{2009, 3, 5, 23, 59, 59}},
        ValidationCase{
            "Midnight", {"2009", "3", "5", "00", "00", "00"}, LocalDateTime{2009, 3, 5, 0, 0, 0}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(OnlyTheFirstFailure, ValidateStartTimeTest,
                         testing::Values(ValidationCase{"YearBeforeMonth",
                                                        {"1899", "13", "32", "24", "60", "60"},
                                                        "年の範囲が無効です\r\n\r\n1899"},
                                         ValidationCase{"MonthBeforeDay",
                                                        {"2009", "x", "32", "24", "60", "60"},
                                                        "月の入力が間違ってます\r\n\r\nx"},
                                         ValidationCase{"DayBeforeHour",
                                                        {"2009", "3", "32", "24", "60", "60"},
                                                        "日の範囲が無効です\r\n\r\n32"},
                                         ValidationCase{"MissingDayBeforeHour",
                                                        {"2009", "4", "31", "24", "60", "60"},
                                                        "その月の31日は無効です"},
                                         ValidationCase{"HourBeforeMinute",
                                                        {"2009", "3", "5", "2 4", "60", "60"},
                                                        "時の入力が間違ってます\r\n\r\n2 4"},
                                         ValidationCase{"MinuteBeforeSecond",
                                                        {"2009", "3", "5", "0", "60", "60"},
                                                        "分の範囲が無効です\r\n\r\n60"}),
                         caseName);

TEST(ValidateStartTime, CurrentYearIsTheUpperBound) {
  const TimeFieldTexts fields{"1900", "1", "1", "0", "0", "0"};
  EXPECT_TRUE(std::holds_alternative<LocalDateTime>(validateStartTime(fields, 1900)));
  EXPECT_EQ(std::get<std::string>(validateStartTime(fields, 1899)),
            "年の範囲が無効です\r\n\r\n1900");
  const TimeFieldTexts last{"65535", "1", "1", "0", "0", "0"};
  EXPECT_TRUE(std::holds_alternative<LocalDateTime>(validateStartTime(last, 65535)));
}

}  // namespace
