#include "number_inventory.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "pattern_classifier.h"
#include "reference/reference_tables.h"

namespace quavik {
namespace {

TEST(CityInventory, EveryCityOffersValidNumbersOfEveryType) {
    for (const Province& province : provinces()) {
        for (const City& city : province.cities) {
            for (std::string_view type : kPatternTypes) {
                const std::vector<InventoryNumber> numbers = city_inventory(city.id, type);
                SCOPED_TRACE(std::to_string(city.id) + " " + std::string(type));
                ASSERT_GE(numbers.size(), 12u);
                ASSERT_LE(numbers.size(), 30u);
                std::set<std::string> seen;
                std::string previous;
                for (const InventoryNumber& entry : numbers) {
                    SCOPED_TRACE(entry.number);
                    ASSERT_EQ(entry.number.size(), 11u);
                    EXPECT_TRUE(is_inventory_prefix(entry.number.substr(0, 3)));
                    const PatternMatch match = classify_number_pattern(entry.number);
                    EXPECT_EQ(match.type, type);
                    EXPECT_EQ(entry.hit_digits, match.digits);
                    EXPECT_GT(entry.price, 0);
                    EXPECT_LT(previous, entry.number);  // ascending, hence distinct
                    previous = entry.number;
                }
            }
        }
    }
}

TEST(CityInventory, DependsOnCityAndTypeOnly) {
    const std::vector<InventoryNumber> first = city_inventory(101, "AAAA");
    EXPECT_EQ(city_inventory(101, "AAAA"), first);
    city_inventory(102, "AAAA");  // no state carried from one call to the next
    EXPECT_EQ(city_inventory(101, "AAAA"), first);
    EXPECT_NE(city_inventory(102, "AAAA"), first);
    EXPECT_NE(city_inventory(101, "AAA"), first);
    // The same numbers on every machine and with every standard library.
    ASSERT_EQ(first.size(), 24u);
    EXPECT_EQ(first.front(), (InventoryNumber{"13484360000", 4, 2632}));
    EXPECT_EQ(first.back().number, "18893509999");
}

TEST(CityInventory, UnknownTypeOffersNothing) {
    EXPECT_TRUE(city_inventory(101, "AAAAAA").empty());
    EXPECT_TRUE(city_inventory(101, "aaaa").empty());
    EXPECT_TRUE(city_inventory(101, "").empty());
}

}  // namespace
}  // namespace quavik
