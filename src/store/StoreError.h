#pragma once
// A failure of the chain's server, or of the talk with it: its message says
// what went wrong in Italian (Windows-1252), at times followed by the
// server's own text; whoever asked the server names it and the group in
// front (withContext).

#include "data/DataError.h"

#include <string>
#include <string_view>

namespace presenze {

class StoreError : public DataError {
public:
    explicit StoreError(const std::string& cause) : DataError(cause), m_cause(cause) {}

    // What went wrong, without the context.
    const std::string& cause() const { return m_cause; }

    // The same failure with `context` in front ("Lettura del gruppo ...: ").
    StoreError withContext(std::string_view context) const
    {
        StoreError error(std::string(context) + m_cause);
        error.m_cause = m_cause;
        return error;
    }

private:
    std::string m_cause;
};

} // namespace presenze
