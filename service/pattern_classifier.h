#pragma once
// The pattern type of a mobile number, as the number-search service sorts its numbers.
//
// A number's type is decided by its last digits alone. Each type's shape is its own name:
// equal letters stand for equal digits, different letters for different digits, so AABB and
// ABAB need A != B (1111 is no AABB and 1212 is an ABAB, 1111 no ABAB). In the runs ABC, ABCD
// and ABCDE every digit is one more than the digit before it: ascending only, and 0 does not
// follow 9 (0123 is an ABCD, 7890 and 4321 are no runs).
//
// A number has at most one type: the first shape in this list that its tail matches, the
// longer and rarer shapes first:
//
//   AAAAA  ABCDE  AAAA  ABCD  AABB  ABAB  AAA  ABC  AA
//
// So ...11111 is AAAAA (not AAAA, AAA or AA), ...1111 is AAAA, ...12345 is ABCDE (not ABCD or
// ABC), ...1234 is ABCD, ...1122 is AABB (not AA), ...0111 is AAA. The service's page for a
// type therefore lists the numbers whose best pattern is that type: no number stands on two
// pages, and its price follows its best pattern. Shapes that cannot overlap (ABAB and AAA, say)
// keep this order too, for one fixed rule.
#include <cstddef>
#include <string_view>

namespace quavik {

struct PatternMatch {
    std::string_view type;   // one of kPatternTypes, or empty when the tail shows none
    std::size_t digits = 0;  // how many of the last digits form the pattern

    bool operator==(const PatternMatch&) const = default;
};

// `number` is a string of decimal digits; anything else (or a string too short for any shape)
// has no type.
PatternMatch classify_number_pattern(std::string_view number);

}  // namespace quavik
