// Writing 16-bit PCM mono wav files.
#pragma once

#include <string>
#include <vector>

namespace soundgen {

inline constexpr int kSampleRate = 22050;

// Writes samples in [-1, 1] (values beyond are clipped) as a 16-bit PCM mono wav.
// Returns false when the file cannot be written.
bool write_wav(const std::string& path, const std::vector<float>& samples,
               int sample_rate = kSampleRate);

}  // namespace soundgen
