// The words of a replay script line: split at spaces and tabs, empty words dropped. The
// replay tool and the transports that read its lines split them alike.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace casino::testing {

inline std::vector<std::string_view> script_words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

}  // namespace casino::testing
