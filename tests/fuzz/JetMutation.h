#pragma once
// Access files for the fuzzers: real fixture files with changes that the
// fuzzer chooses. An input is small (a fixture number and a list of changes),
// so the corpus stays small while the files read are whole Access files.
//
// Input: byte 0 picks the fixture; byte 1 holds options (bit 0: cut the file
// at the offset in bytes 2-5, little-endian, modulo its size); then any
// number of changes, each a 4-byte little-endian offset (modulo the size), a
// length byte and that many bytes written over the file there.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace presenze::fuzz {

struct JetSample {
    std::string name;  // the file's name in a data folder ("TipiCamere.mdb")
    std::string bytes; // the fixture as it is
};

// The fixtures, read once ($PRESENZE_FIXTURES, else the build's fixture folder).
const std::vector<JetSample>& jetSamples();

struct MutatedJet {
    const JetSample* sample = nullptr;
    std::string bytes;
};

// Nullopt for an input too short to pick a fixture.
std::optional<MutatedJet> mutateJet(const std::uint8_t* data, std::size_t size);

} // namespace presenze::fuzz
