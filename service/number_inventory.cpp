#include "number_inventory.h"

#include <algorithm>
#include <cstddef>
#include <set>

#include "pattern_classifier.h"

namespace quavik {

namespace {

// clang-format off
constexpr std::string_view kPrefixes[] = {
    "134", "135", "136", "137", "138", "139",
    "147",
    "150", "151", "152", "157", "158", "159",
    "178",
    "182", "183", "184", "187", "188",
    "198",
};

struct TypeOffer {
    std::string_view type;
    bool ascending;  // the letters stand for an ascending run of digits
    int base_price;  // yuan; a number costs this plus up to 40 %
};

constexpr TypeOffer kTypeOffers[] = {
    {"AAAAA", false, 6800},
    {"AAAA",  false, 1880},
    {"AAA",   false,  380},
    {"AA",    false,   60},
    {"ABC",   true,   160},
    {"ABCD",  true,   880},
    {"ABCDE", true,  3800},
    {"AABB",  false,  680},
    {"ABAB",  false,  580},
};
// clang-format on

constexpr std::size_t kNumberLength = 11;
constexpr std::size_t kMinimumOffer = 12;
constexpr std::size_t kMaximumOffer = 30;
// Enough tries that every type fills its list; a bound all the same.
constexpr int kTriesPerNumber = 200;

// SplitMix64: small, fast and the same everywhere (the standard engines' distributions are not).
class NumberGenerator {
  public:
    explicit NumberGenerator(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A value in [0, bound); the bias of the modulo is far below anything this page shows.
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

    char digit() { return static_cast<char>('0' + below(10)); }

  private:
    std::uint64_t state_;
};

// Writes an instance of the shape `type` over the last digits of `number`: distinct digits for
// distinct letters, or an ascending run. The classifier has the last word (the digit in front
// may extend the shape into a longer one).
void write_shape(std::string& number, std::string_view type, bool ascending,
                 NumberGenerator& generator) {
    char letter_digits[5] = {};
    if (ascending) {
        const char start = static_cast<char>('0' + generator.below(10 - type.size() + 1));
        for (std::size_t i = 0; i < type.size(); ++i) {
            letter_digits[i] = static_cast<char>(start + i);
        }
    } else {
        for (std::size_t letter = 0; letter < 5; ++letter) {
            char candidate = 0;
            do {
                candidate = generator.digit();
            } while (std::find(letter_digits, letter_digits + letter, candidate) !=
                     letter_digits + letter);
            letter_digits[letter] = candidate;
        }
    }
    const std::size_t start = number.size() - type.size();
    for (std::size_t i = 0; i < type.size(); ++i) {
        number[start + i] = letter_digits[type[i] - 'A'];
    }
}

}  // namespace

bool is_inventory_prefix(std::string_view prefix) {
    return std::find(std::begin(kPrefixes), std::end(kPrefixes), prefix) != std::end(kPrefixes);
}

std::vector<InventoryNumber> city_inventory(int city_id, std::string_view pattern_type) {
    const auto offer = std::find_if(std::begin(kTypeOffers), std::end(kTypeOffers),
                                    [&](const TypeOffer& row) { return row.type == pattern_type; });
    if (offer == std::end(kTypeOffers)) {
        return {};
    }
    const auto type_index = static_cast<std::uint64_t>(offer - std::begin(kTypeOffers));
    NumberGenerator generator(static_cast<std::uint64_t>(city_id) * 1000003ULL + type_index);

    const std::size_t wanted = kMinimumOffer + generator.below(kMaximumOffer - kMinimumOffer + 1);
    std::set<std::string> chosen;
    std::vector<InventoryNumber> numbers;
    for (int tries = 0;
         numbers.size() < wanted && tries < kTriesPerNumber * static_cast<int>(wanted); ++tries) {
        std::string number(kPrefixes[generator.below(std::size(kPrefixes))]);
        while (number.size() < kNumberLength) {
            number += generator.digit();
        }
        write_shape(number, pattern_type, offer->ascending, generator);
        const PatternMatch match = classify_number_pattern(number);
        if (match.type != pattern_type || !chosen.insert(number).second) {
            continue;
        }
        const int step = offer->base_price / 10;
        const int price = offer->base_price + step * static_cast<int>(generator.below(5));
        numbers.push_back({std::move(number), match.digits, price});
    }
    std::sort(
        numbers.begin(), numbers.end(),
        [](const InventoryNumber& a, const InventoryNumber& b) { return a.number < b.number; });
    return numbers;
}

}  // namespace quavik
