#include "driver/UnifiedDiff.h"

#include <algorithm>
#include <vector>

namespace quillora {

namespace {

constexpr std::size_t kContext = 3;
// How far past a difference the alignment looks for the texts to agree again.
constexpr std::size_t kLookAhead = 64;

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        end = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

// One line of the edit: kept, removed from before or added from after, with
// the line numbers (from 0) either side had reached.
struct Step {
    char mark;
    std::size_t before;
    std::size_t after;
};

std::vector<Step> alignLines(const std::vector<std::string_view>& a,
                             const std::vector<std::string_view>& b) {
    std::vector<Step> steps;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && a[i] == b[j]) {
            steps.push_back({' ', i++, j++});
            continue;
        }
        // The fewest lines to drop, either side, before the texts agree again
        // or both end; past the look-ahead, one block of each.
        std::size_t dropA = std::min(kLookAhead, a.size() - i);
        std::size_t dropB = std::min(kLookAhead, b.size() - j);
        bool found = false;
        for (std::size_t sum = 1; sum <= kLookAhead && !found; ++sum) {
            for (std::size_t x = 0; x <= sum && !found; ++x) {
                const std::size_t ii = i + x;
                const std::size_t jj = j + sum - x;
                if (ii > a.size() || jj > b.size()) {
                    continue;
                }
                const bool bothEnd = ii == a.size() && jj == b.size();
                if (bothEnd || (ii < a.size() && jj < b.size() && a[ii] == b[jj])) {
                    dropA = x;
                    dropB = sum - x;
                    found = true;
                }
            }
        }
        for (std::size_t k = 0; k < dropA; ++k) {
            steps.push_back({'-', i++, j});
        }
        for (std::size_t k = 0; k < dropB; ++k) {
            steps.push_back({'+', i, j++});
        }
    }
    return steps;
}

// "start,count" of one side of a hunk header; an empty side names the line
// before it.
std::string range(std::size_t first, std::size_t count) {
    return std::to_string(count == 0 ? first : first + 1) + "," + std::to_string(count);
}

} // namespace

std::string unifiedDiff(const std::string& name, std::string_view before, std::string_view after) {
    if (before == after) {
        return std::string();
    }
    const std::vector<std::string_view> a = linesOf(before);
    const std::vector<std::string_view> b = linesOf(after);
    const std::vector<Step> steps = alignLines(a, b);
    std::string diff = "--- " + name + "\n+++ " + name + "\n";
    std::size_t at = 0;
    while (at < steps.size()) {
        while (at < steps.size() && steps[at].mark == ' ') {
            ++at;
        }
        if (at == steps.size()) {
            break;
        }
        // A hunk: context, then changes as long as no more than twice the
        // context lies between two of them, then context.
        const std::size_t start = at - std::min(at, kContext);
        std::size_t end = at;
        for (std::size_t kept = 0; end < steps.size() && kept <= 2 * kContext; ++end) {
            kept = steps[end].mark == ' ' ? kept + 1 : 0;
            if (kept == 0) {
                at = end; // the last change so far
            }
        }
        end = std::min(steps.size(), at + 1 + kContext);
        std::size_t countA = 0;
        std::size_t countB = 0;
        for (std::size_t k = start; k < end; ++k) {
            countA += steps[k].mark != '+' ? 1 : 0;
            countB += steps[k].mark != '-' ? 1 : 0;
        }
        diff += "@@ -" + range(steps[start].before, countA) + " +" +
                range(steps[start].after, countB) + " @@\n";
        for (std::size_t k = start; k < end; ++k) {
            const std::string_view line =
                steps[k].mark == '+' ? b[steps[k].after] : a[steps[k].before];
            diff += steps[k].mark;
            diff.append(line);
            if (line.back() != '\n') {
                diff += "\n\\ No newline at end of file\n";
            }
        }
        at = end;
    }
    return diff;
}

} // namespace quillora
