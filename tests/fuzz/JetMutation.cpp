#include "JetMutation.h"

#include "FuzzSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace presenze::fuzz {
namespace fs = std::filesystem;

namespace {

std::uint32_t littleEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

} // namespace

const std::vector<JetSample>& jetSamples()
{
    static const std::vector<JetSample> samples = [] {
        const char* env = std::getenv("PRESENZE_FIXTURES");
        const fs::path root = env && *env ? fs::path(env) : fs::path(PRESENZE_FIXTURES_DIR);
        // The Access samples without a stated licence join only when
        // PRESENZE_EXTRA_FIXTURES names the folder that holds them.
        const char* extraEnv = std::getenv("PRESENZE_EXTRA_FIXTURES");
        const fs::path extra = extraEnv && *extraEnv ? fs::path(extraEnv) : fs::path();
        const std::pair<const char*, const char*> files[] = {
            {"hotel-jet", "AnagraficaHotels.mdb"},
            {"hotel-jet", "TipiCamere.mdb"},
            {"hotel-jet", "Scheda_Prenotazione.mdb"},
            {"hotel-jet", "Camere_Prenotazione.mdb"},
            {"hotel-jet", "DitteAbituali.mdb"},
            {"hotel-edge-jet", "Camere_Prenotazione.mdb"},
            {"", "jet4_dates.mdb"},
            {"jet", "jet4_unicode.mdb"},
            {"", "ace12_assets.accdb"},
            {"", "jet3_nwind.mdb"},
            {"jet", "jet4_types.mdb"},
        };
        std::vector<JetSample> loaded;
        for (const auto& [folder, name] : files) {
            const bool optional = *folder == '\0';
            if (optional && extra.empty())
                continue;
            const fs::path file = optional ? extra / name : root / folder / name;
            std::ifstream in(file, std::ios::binary);
            if (!in && optional)
                continue;
            if (!in)
                broken("fixture missing: " + file.string());
            loaded.push_back({name, std::string(std::istreambuf_iterator<char>(in),
                                                std::istreambuf_iterator<char>())});
        }
        return loaded;
    }();
    return samples;
}

std::optional<MutatedJet> mutateJet(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return std::nullopt;
    const auto& samples = jetSamples();
    MutatedJet jet;
    jet.sample = &samples[data[0] % samples.size()];
    jet.bytes = jet.sample->bytes;
    std::size_t at = 2;
    std::optional<std::size_t> cut;
    if ((data[1] & 1) && size >= 6) {
        cut = littleEndian32(data + 2) % jet.bytes.size();
        at = 6;
    }
    while (at + 5 <= size) {
        const std::size_t offset = littleEndian32(data + at) % jet.bytes.size();
        const std::size_t length = std::min<std::size_t>(data[at + 4], size - at - 5);
        for (std::size_t i = 0; i < length && offset + i < jet.bytes.size(); ++i)
            jet.bytes[offset + i] = static_cast<char>(data[at + 5 + i]);
        at += 5 + length;
    }
    if (cut)
        jet.bytes.resize(*cut);
    return jet;
}

} // namespace presenze::fuzz
