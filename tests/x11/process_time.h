// The processor time a process has used, from /proc: how the programs that drive the real
// programs tell one that spins while idle.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace casino::x11 {

// User and system time together, in milliseconds; 0 when the process is gone.
inline double cpu_ms_of(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), {});
    // The fields after the command name, which may hold spaces but not ')'.
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = close + 2; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += text[i];
        }
    }
    if (fields.size() < 13) return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) * 1000.0 /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace casino::x11
