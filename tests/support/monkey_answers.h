// What a monkey types into an input box: the answers a player might give, the worst ones
// included. Shared by the monkey runs of both programs.
#pragma once

#include <random>
#include <string>

namespace casino::testing {

inline std::string monkey_answer(std::mt19937& rng) {
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    switch (pick(12)) {
        case 0: return "";
        case 1: return std::to_string(pick(4));
        case 2: return std::to_string(pick(37));
        case 3: return "-" + std::to_string(1 + pick(50));
        case 4: return std::to_string(pick(100000));
        case 5:
            return std::string(static_cast<std::size_t>(1 + pick(40)),
                               static_cast<char>('0' + pick(10)));
        case 6: return std::string(10000, '9');
        case 7: {
            std::string garbage;
            const int length = pick(2) == 0 ? 10000 : 1 + pick(30);
            for (int i = 0; i < length; ++i) garbage += static_cast<char>(' ' + pick(95));
            return garbage;
        }
        case 8: return " 1 0";
        case 9: return "2.5";
        case 10: return "abc";
        default: return std::to_string(1 + pick(3));
    }
}

}  // namespace casino::testing
