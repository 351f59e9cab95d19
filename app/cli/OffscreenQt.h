#pragma once
// Qt for the command line: started only when a command draws (a system
// print's pages, a chart), always on the offscreen platform unless
// QT_QPA_PLATFORM names another, so no display is ever needed. Qt's own notes
// (fonts, runtime folder) are not for the person at the terminal: only its
// critical messages reach stderr. Without the windows (PRESENZE_GUI off)
// nothing is started and available() is false.

#include <memory>

namespace presenze {

class OffscreenQt {
public:
    OffscreenQt();
    ~OffscreenQt();
    OffscreenQt(const OffscreenQt&) = delete;
    OffscreenQt& operator=(const OffscreenQt&) = delete;

    static bool available();

private:
    struct Application;
    std::unique_ptr<Application> m_application;
};

} // namespace presenze
