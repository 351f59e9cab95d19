#pragma once
// The clock that dated lines read (title lines, archive copy names). Tests and
// the command line's --now use a fixed one.

#include "data/Dates.h"

#include <optional>
#include <string_view>

namespace presenze {

struct DateTime {
    Date date;
    int hour = 0;
    int minute = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    DateTime now() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(DateTime at) : m_at(at) {}
    DateTime now() const override { return m_at; }

private:
    DateTime m_at;
};

// "DD/MM/YYYY hh:mm" with a real day and time; nullopt otherwise.
std::optional<DateTime> parseDateTime(std::string_view text);

} // namespace presenze
