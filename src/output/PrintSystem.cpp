#include "output/PrintSystem.h"

namespace presenze {
namespace {

class QueuesOfTheSystem final : public PrintSystem {
public:
    std::optional<std::vector<std::string>> queues(std::chrono::milliseconds limit) const override
    {
        return listPrintQueues(limit);
    }

    std::optional<std::string> defaultQueue(std::chrono::milliseconds limit) const override
    {
        return defaultPrintQueue(limit);
    }

    void send(std::string_view queue, const std::filesystem::path& file,
              const std::vector<std::string>& options, std::string_view title,
              std::chrono::milliseconds limit) const override
    {
        sendToPrintQueue(queue, file, options, title, limit);
    }
};

} // namespace

const PrintSystem& systemPrintSystem()
{
    static const QueuesOfTheSystem system;
    return system;
}

} // namespace presenze
