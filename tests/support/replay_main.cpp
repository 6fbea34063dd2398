// replay: plays a game script from standard input and prints the transcript.
#include <iostream>

#include "support/replay_session.h"

int main() {
    std::ios::sync_with_stdio(false);
    casino::testing::ReplaySession session;
    return session.run(std::cin, std::cout, std::cerr);
}
