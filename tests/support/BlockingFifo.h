#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace lazrine::testing {

// A FIFO at `path`, the name a user may pick by mistake, for the life of the
// object. Opening a FIFO for reading waits until a writer comes; a watcher
// plays that writer, so that code which does open it is let go again (and
// caught by ReaderOpened()) instead of hanging the test run.
class BlockingFifo {
public:
    explicit BlockingFifo(std::string path);
    ~BlockingFifo();
    BlockingFifo(const BlockingFifo&) = delete;
    BlockingFifo& operator=(const BlockingFifo&) = delete;

    bool Made() const { return m_bMade; }
    const std::string& Path() const { return m_path; }
    // True once anyone opened the FIFO for reading.
    bool ReaderOpened() const { return m_bReaderOpened.load(); }

private:
    void Watch();

    std::string m_path;
    bool m_bMade = false;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bReaderOpened{false};
    std::thread m_watcher;
};

}  // namespace lazrine::testing
