#include "gui/desk/OffThread.h"

#include "data/DataError.h"

#include <QException>

namespace presenze::offthread {

std::string errorText(std::exception_ptr error)
{
    try {
        rethrowOwn(error);
    } catch (const DataError& e) {
        return e.what();
    } catch (const std::exception& e) {
        return unexpectedErrorText(e);
    } catch (...) {
        return "Errore imprevisto";
    }
}

void rethrowOwn(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const QUnhandledException& e) {
        if (e.exception())
            std::rethrow_exception(e.exception());
        throw;
    }
}

} // namespace presenze::offthread
