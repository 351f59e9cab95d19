#pragma once
// Qt for the command line: started only when a command draws (a system
// print's pages, a chart), always on the offscreen platform unless
// QT_QPA_PLATFORM names another, so no display is ever needed. Qt's own notes
// (fonts, runtime folder) are not for the person at the terminal: only its
// critical messages reach stderr.

#include <QGuiApplication>
#include <memory>

namespace presenze {

class OffscreenQt {
public:
    OffscreenQt();
    ~OffscreenQt();
    OffscreenQt(const OffscreenQt&) = delete;
    OffscreenQt& operator=(const OffscreenQt&) = delete;

private:
    int m_argc = 1;
    char m_name[16] = "presenze-cli";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_application;
};

} // namespace presenze
