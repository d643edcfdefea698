#include "platform/Platform.h"

#include <cerrno>
#include <malloc.h>
#include <streambuf>
#include <string>
#include <unistd.h>

namespace quillora {

void prepareHostProcess() {
#if defined(__GLIBC__)
    // Left to itself, glibc hands blocks of this size back to the system when
    // they are freed and faults them in again, page by page, for the next
    // package. Kept instead, they cost nothing beyond the peak a run reaches.
    constexpr int kKeptBlock = 32 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kKeptBlock);
    mallopt(M_TRIM_THRESHOLD, 2 * kKeptBlock);
#endif
}

namespace {

// Holds what is written until a flush, then writes it to standard output in
// one call.
class StandardOutputBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            held_.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        held_.append(text, static_cast<std::size_t>(count));
        return count;
    }
    int sync() override {
        std::size_t done = 0;
        while (done < held_.size()) {
            const ssize_t n = ::write(STDOUT_FILENO, held_.data() + done, held_.size() - done);
            if (n < 0 && errno != EINTR) {
                held_.clear();
                return -1;
            }
            done += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        held_.clear();
        return 0;
    }

private:
    std::string held_;
};

class StandardOutput : public std::ostream {
public:
    StandardOutput() : std::ostream(nullptr) { rdbuf(&buffer_); }
    ~StandardOutput() override { flush(); }

private:
    StandardOutputBuffer buffer_;
};

} // namespace

std::unique_ptr<std::ostream> makeMessageOutput() {
    return std::make_unique<StandardOutput>();
}

} // namespace quillora
