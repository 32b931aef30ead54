#include "support/BlockingFifo.h"

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lazrine::testing {

BlockingFifo::BlockingFifo(std::string path) : m_path(std::move(path)) {
    m_bMade = ::mkfifo(m_path.c_str(), 0600) == 0;
    if (m_bMade) {
        m_watcher = std::thread([this] { Watch(); });
    }
}

BlockingFifo::~BlockingFifo() {
    m_bStop = true;
    if (m_watcher.joinable()) {
        m_watcher.join();
    }
    if (m_bMade) {
        ::unlink(m_path.c_str());
    }
}

void BlockingFifo::Watch() {
    while (!m_bStop.load()) {
        // A non-blocking open for writing succeeds only while a reader has
        // the FIFO open (or waits in opening it), and releases that reader.
        const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            m_bReaderOpened = true;
            ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace lazrine::testing
