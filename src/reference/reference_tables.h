#pragma once
// The province and city tables: the one source of the reference text and of the checks on
// typed IDs.
#include <array>
#include <span>
#include <string_view>

namespace quavik {

struct City {
    int id;                 // three digits, 101..996
    std::string_view name;  // e.g. "呼和浩特"
};

struct Province {
    int id;                       // two digits, 10..97
    std::string_view region;      // the text between "【" and "】", e.g. "内蒙古地区"
    std::string_view after_heading;  // what follows "】" on the heading line (usually empty)
    std::span<const City> cities;    // in the order of the block
};

// The nine pattern types the number search accepts, in the order of the reference text.
inline constexpr std::array<std::string_view, 9> kPatternTypes = {
    "AAAAA", "AAAA", "AAA", "AA", "ABC", "ABCD", "ABCDE", "AABB", "ABAB",
};

// The 31 provinces in ascending order of ID.
std::span<const Province> provinces();

// Nothing (nullptr) when there is no such ID.
const Province* find_province(int id);
// The city with that ID, and (optional) the province whose block lists it.
const City* find_city(int id, const Province** province = nullptr);

}  // namespace quavik
