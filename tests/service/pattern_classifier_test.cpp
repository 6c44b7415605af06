#include "pattern_classifier.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quavik {
namespace {

TEST(ClassifyNumberPattern, TailDecidesAndTheMostSpecificShapeWins) {
    struct Row {
        const char* name;
        std::string_view number;
        std::string_view type;  // "" for none
        std::size_t digits;
    };
    const Row rows[] = {
        // One row per type.
        {"AAAAA", "13812388888", "AAAAA", 5},
        {"AAAA", "13812378888", "AAAA", 4},
        {"AAA", "13812347888", "AAA", 3},
        {"AA", "13812345688", "AA", 2},
        {"ABC", "13812347456", "ABC", 3},
        {"ABCD", "13812373456", "ABCD", 4},
        {"ABCDE", "13812334567", "ABCDE", 5},
        {"AABB", "13812347788", "AABB", 4},
        {"ABAB", "13812343535", "ABAB", 4},
        // Overlaps: the longer, rarer shape takes the number.
        {"six equal digits are AAAAA", "13812888888", "AAAAA", 5},
        {"AAAA is not also AAA", "13812301111", "AAAA", 4},
        {"AAAA is not AABB (A must differ from B)", "13812371111", "AAAA", 4},
        {"ABCD is not also ABC", "13812371234", "ABCD", 4},
        {"ABCDE is not ABCD", "13812312345", "ABCDE", 5},
        {"AABB is not AA", "13812341122", "AABB", 4},
        {"1222 is AAA, not AABB", "13812341222", "AAA", 3},
        {"ABAB needs A different from B", "13812342121", "ABAB", 4},
        {"ABAB with a zero", "13812349090", "ABAB", 4},
        // Runs: ascending by one only, and 0 does not follow 9.
        {"0123 is a run", "13812340123", "ABCD", 4},
        {"01234 is a run", "13812301234", "ABCDE", 5},
        {"56789 is a run", "13812356789", "ABCDE", 5},
        {"descending is no run", "13812344321", "", 0},
        {"9 then 0 is no run", "13812347890", "", 0},
        {"step of two is no run", "13812340246", "", 0},
        // Only the tail counts.
        {"pattern in the middle", "13888881234", "ABCD", 4},
        {"pattern only in the middle", "13888880123", "ABCD", 4},
        {"nothing at the end", "13888888812", "", 0},
        // Not a number.
        {"empty", "", "", 0},
        {"one digit", "8", "", 0},
        {"two digits", "88", "AA", 2},
        {"letters", "1381234888A", "", 0},
        {"space", "13812 88888", "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PatternMatch match = classify_number_pattern(row.number);
        EXPECT_EQ(match.type, row.type);
        EXPECT_EQ(match.digits, row.digits);
    }
}

}  // namespace
}  // namespace quavik
