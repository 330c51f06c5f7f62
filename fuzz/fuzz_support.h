// What every harness shares: a scratch folder of its own in memory-backed
// storage, a way to put the fuzzer's bytes into a file there (the loaders
// read paths, not buffers), and a message sink that keeps the run quiet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace valdrin::fuzz {

// The harness's own folder, made on first use and kept for the run.
const std::string& scratch_dir();

// Writes `size` bytes to `name` inside the scratch folder; returns its path.
// Aborts when the write fails: a harness that cannot stage its input would
// otherwise fuzz nothing without saying so.
std::string stage_file(const std::string& name, const uint8_t* data, size_t size);

// Drops every message; call once per input (it is cheap).
void silence_messages();

}  // namespace valdrin::fuzz
