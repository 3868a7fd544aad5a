// The map file fuzz target, shared by the libFuzzer harness and the smoke test:
// reads arbitrary bytes as a map, builds normals and checks every number.
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
