#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>

namespace vm::cli {

std::string RenderProgressBar(std::string_view label, long done, long total, int width) {
    width = std::max(width, 1);
    const long clamped = total > 0 ? std::clamp(done, 0L, total) : 0;
    const int filled = total > 0 ? static_cast<int>(clamped * width / total) : 0;
    const int percent = total > 0 ? static_cast<int>(clamped * 100 / total) : 0;
    char tail[8];
    std::snprintf(tail, sizeof tail, "%4d%%", percent);
    std::string line(label);
    line += " [";
    line.append(filled, '#');
    line.append(width - filled, '.');
    line += "]";
    line += tail;
    return line;
}

void ProgressBar::update(std::string_view label, long done, long total) {
    if (!enabled_) return;
    std::string line = RenderProgressBar(label, done, total);
    if (drawn_ && line == last_) return;
    std::fprintf(out_, "\r%s", line.c_str());
    std::fflush(out_);
    last_ = std::move(line);
    drawn_ = true;
}

void ProgressBar::finish() {
    if (!enabled_ || !drawn_) return;
    std::fputc('\n', out_);
    std::fflush(out_);
    drawn_ = false;
    last_.clear();
}

} // namespace vm::cli
