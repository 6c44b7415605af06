#pragma once
// The numbers the local service offers: a fixed, made-up inventory per city, the same on every
// run and every machine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quavik {

struct InventoryNumber {
    std::string number;      // 11 digits
    std::size_t hit_digits;  // the last digits that form the pattern
    int price;               // in yuan

    bool operator==(const InventoryNumber&) const = default;
};

// The mobile prefixes the inventory draws from.
bool is_inventory_prefix(std::string_view prefix);

// The numbers of `pattern_type` (one of kPatternTypes) on offer in the city: 12 to 30 distinct
// numbers in ascending order, each one whose type (classify_number_pattern) is `pattern_type`.
// Drawn from a generator seeded by the city ID and the type alone. Empty for an unknown type.
std::vector<InventoryNumber> city_inventory(int city_id, std::string_view pattern_type);

}  // namespace quavik
