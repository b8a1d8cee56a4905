#pragma once
// A one-line text progress bar for transfers, redrawn in place with a carriage return.

#include <cstdio>
#include <string>
#include <string_view>

namespace vm::cli {

// "label [#######.............]  35%" with `width` cells; done is clamped to 0..total.
std::string RenderProgressBar(std::string_view label, long done, long total, int width = 40);

class ProgressBar {
public:
    // Draws on `out` only when `enabled`; main() enables it when stderr is a terminal.
    ProgressBar(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}
    ~ProgressBar() { finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws only when the drawn text changes, so a fast transfer does not flood the terminal.
    void update(std::string_view label, long done, long total);
    // Ends the line, so that later messages start on a fresh one.
    void finish();

private:
    std::FILE* out_;
    bool enabled_;
    bool drawn_ = false;
    std::string last_;
};

} // namespace vm::cli
