// The monkey run: random input into casino.exe, checked after every step.
#pragma once

#include <string>

namespace casino::automation {

// Drives the game for the given time with input drawn from the seed; with xinput, part of
// the input is real X input, asked of a helper that reads our standard output. Returns 0
// when nothing was found, else 1 after printing the seed and the last steps.
int run_monkey(const std::wstring& exe, int seconds, unsigned seed, bool xinput);

}  // namespace casino::automation
