#include "driver/WorkerOutput.h"

#include "driver/BackgroundWorker.h"

#include <algorithm>
#include <utility>

namespace quillora {

namespace {

void writeEachLine(std::ostream& out, const std::string& text) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        out.write(text.data() + start, static_cast<std::streamsize>(end - start));
        out.flush();
        start = end;
    }
}

} // namespace

void WorkerOutput::handOn() {
    if (held_.empty()) {
        return;
    }
    worker_.waitForFewerThan(kWaitingPieces);
    worker_.post([&out = out_, text = std::move(held_)] { writeEachLine(out, text); });
    held_.clear();
}

std::streamsize WorkerOutput::xsputn(const char* text, std::streamsize count) {
    // A piece's room is taken once, not doubled up to it message by message.
    if (held_.capacity() < kPiece) {
        held_.reserve(kPiece + kPiece / 8);
    }
    held_.append(text, static_cast<std::size_t>(count));
    return count;
}

WorkerOutput::int_type WorkerOutput::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        held_.push_back(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
}

int WorkerOutput::sync() {
    if (held_.size() >= kPiece) {
        handOn();
    }
    return 0;
}

} // namespace quillora
