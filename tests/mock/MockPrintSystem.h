#pragma once
// A print system for the tests: its queues, default queue and answer to a job
// are set by the test, and the jobs it takes are kept with their bytes. No
// print system of the machine is asked.

#include "data/DataError.h"
#include "output/PrintSystem.h"
#include "support/TestSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace presenze::test {

class MockPrintSystem final : public PrintSystem {
public:
    struct Job {
        std::string queue; // empty: the default queue
        std::string bytes;
        std::vector<std::string> options;
        std::string title;
    };

    // The installed queues; nullopt: the print system cannot be reached.
    std::optional<std::vector<std::string>> installed = std::vector<std::string>{};
    std::optional<std::string> defaultName;
    // Set: every job is refused with this message.
    std::optional<std::string> refusal;

    mutable std::vector<Job> jobs;
    mutable int questions = 0; // queue lists and default queues asked for

    std::optional<std::vector<std::string>> queues(std::chrono::milliseconds) const override
    {
        ++questions;
        return installed;
    }

    std::optional<std::string> defaultQueue(std::chrono::milliseconds) const override
    {
        ++questions;
        return installed ? defaultName : std::nullopt;
    }

    void send(std::string_view queue, const std::filesystem::path& file,
              const std::vector<std::string>& options, std::string_view title,
              std::chrono::milliseconds) const override
    {
        if (refusal)
            throw DataError(*refusal);
        jobs.push_back({std::string(queue), readFile(file), options, std::string(title)});
    }
};

} // namespace presenze::test
