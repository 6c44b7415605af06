#include "pattern_classifier.h"

namespace quavik {

namespace {

struct PatternRule {
    std::string_view type;  // also the shape, letter by letter
    bool ascending;         // letters stand for consecutive ascending digits
};

// In order of precedence: the first row whose shape the tail matches is the number's type.
// clang-format off
constexpr PatternRule kPatternRules[] = {
    {"AAAAA", false},
    {"ABCDE", true },
    {"AAAA",  false},
    {"ABCD",  true },
    {"AABB",  false},
    {"ABAB",  false},
    {"AAA",   false},
    {"ABC",   true },
    {"AA",    false},
};
// clang-format on

bool matches_shape(std::string_view tail, const PatternRule& rule) {
    const std::string_view shape = rule.type;
    if (rule.ascending) {
        for (std::size_t i = 1; i < tail.size(); ++i) {
            if (tail[i] != tail[i - 1] + 1) {
                return false;
            }
        }
        return true;
    }
    // Equal letters <=> equal digits.
    for (std::size_t i = 0; i < tail.size(); ++i) {
        for (std::size_t j = i + 1; j < tail.size(); ++j) {
            if ((shape[i] == shape[j]) != (tail[i] == tail[j])) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

PatternMatch classify_number_pattern(std::string_view number) {
    for (char c : number) {
        if (c < '0' || c > '9') {
            return {};
        }
    }
    for (const PatternRule& rule : kPatternRules) {
        const std::size_t length = rule.type.size();
        if (number.size() >= length && matches_shape(number.substr(number.size() - length), rule)) {
            return {rule.type, length};
        }
    }
    return {};
}

}  // namespace quavik
