// What a player can type into an input box, and the number the game reads from it.
#include "core/number_reader.h"

#include <gtest/gtest.h>

namespace casino {
namespace {

struct Reading {
    const char* typed;
    int value;
};

void PrintTo(const Reading& r, std::ostream* os) { *os << "[" << r.typed << "] -> " << r.value; }

class ReadNumber : public ::testing::TestWithParam<Reading> {};

TEST_P(ReadNumber, ReadsWhatThePlayerMeant) {
    EXPECT_EQ(read_number(GetParam().typed), GetParam().value)
        << "typed [" << GetParam().typed << "]";
}

INSTANTIATE_TEST_SUITE_P(PlainAnswers, ReadNumber,
                         ::testing::Values(Reading{"", 0}, Reading{"5", 5}, Reading{"0", 0},
                                           Reading{"36", 36}, Reading{"007", 7}, Reading{"+3", 3},
                                           Reading{"-7", -7}, Reading{"   12", 12},
                                           Reading{"12   ", 12}, Reading{"\t4", 4}));

INSTANTIATE_TEST_SUITE_P(BlanksInside, ReadNumber,
                         ::testing::Values(Reading{"1 000", 1000}, Reading{" - 7", -7},
                                           Reading{"1 2 . 5", 12}, Reading{"   ", 0}));

// Halves go to the even neighbour; everything else to the nearest whole number.
INSTANTIATE_TEST_SUITE_P(Fractions, ReadNumber,
                         ::testing::Values(Reading{"2.5", 2}, Reading{"3.5", 4}, Reading{"0.4", 0},
                                           Reading{"0.5", 0}, Reading{"0.51", 1}, Reading{"1.5", 2},
                                           Reading{"-2.5", -2}, Reading{"-3.5", -4},
                                           Reading{"2.4999999", 2}, Reading{".6", 1},
                                           Reading{"5.", 5}, Reading{"-.5", 0},
                                           Reading{"2.50000000000001", 3}));

// However many digits a fraction has, they decide the rounding themselves: no nearest
// double stands in for them and rounds first.
INSTANTIATE_TEST_SUITE_P(LongFractions, ReadNumber,
                         ::testing::Values(Reading{"1.4999999999999999999", 1},
                                           Reading{"0.5000000000000000001", 1},
                                           Reading{"-0.5000000000000000001", -1},
                                           Reading{"2.5000000000000000000", 2},
                                           Reading{"3.49999999999999999999999", 3},
                                           Reading{"32766.50000000000000001", 32767}));

INSTANTIATE_TEST_SUITE_P(GarbageStopsTheReading, ReadNumber,
                         ::testing::Values(Reading{"12abc", 12}, Reading{"abc", 0},
                                           Reading{"abc12", 0}, Reading{"1.2.3", 1},
                                           Reading{"5-3", 5}, Reading{"--5", 0}, Reading{"+-5", 0},
                                           Reading{"-", 0}, Reading{".", 0}, Reading{"1,5", 1},
                                           Reading{"3e2", 3}, Reading{"пять", 0},
                                           Reading{"4 пять", 4}));

// A value that does not fit 16 bits is held at the nearest end instead of wrapping.
INSTANTIATE_TEST_SUITE_P(OutOfRangeIsClamped, ReadNumber,
                         ::testing::Values(Reading{"32767", 32767}, Reading{"32767.4", 32767},
                                           Reading{"32767.5", 32767}, Reading{"32768", 32767},
                                           Reading{"99999", 32767}, Reading{"65536", 32767},
                                           Reading{"-32768", -32768}, Reading{"-32768.5", -32768},
                                           Reading{"-99999", -32768},
                                           Reading{"99999999999999999999999999999999", 32767},
                                           Reading{"-1e999", -1}));

TEST(ReadNumber, ThousandsOfDigitsStayClamped) {
    EXPECT_EQ(read_number(std::string(5000, '9')), 32767);
    EXPECT_EQ(read_number("-" + std::string(5000, '9')), -32768);
    EXPECT_EQ(read_number("0." + std::string(5000, '0') + "1"), 0);
}

}  // namespace
}  // namespace casino
