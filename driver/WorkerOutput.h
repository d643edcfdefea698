// Messages written on the worker: what a stream through this buffer is given
// goes to out a piece at a time on the worker, each line written and flushed
// on its own, as every message is. Few pieces wait at once, so a package with
// a great many messages does not hold them all.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace quillora {

class BackgroundWorker;

class WorkerOutput : public std::streambuf {
public:
    WorkerOutput(BackgroundWorker& worker, std::ostream& out) : worker_(worker), out_(out) {}

    // Hands what is held to the worker.
    void handOn();

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type c) override;
    // A flush: the text is handed on once a piece is held.
    int sync() override;

private:
    static constexpr std::size_t kPiece = std::size_t{32} << 10;
    // 1 MiB at most: enough that the run's own thread seldom waits for the
    // worker to print, little beside the files a run holds.
    static constexpr std::size_t kWaitingPieces = 32;

    BackgroundWorker& worker_;
    std::ostream& out_;
    std::string held_;
};

} // namespace quillora
