#pragma once
// The texts of the current language, by line number of the language file (1..2000; 0 is never filled).

#include <array>
#include <string>

namespace vm {

inline constexpr int kMessageCount = 2001;

class Messages {
public:
    // Line n of the loaded language file, or an empty text for a line that is not there.
    const std::string& operator()(int n) const {
        static const std::string empty;
        return n > 0 && n < kMessageCount ? lines_[n] : empty;
    }
    void set(int n, std::string text) {
        if (n > 0 && n < kMessageCount) lines_[n] = std::move(text);
    }
    void clear() { lines_.fill({}); }

private:
    std::array<std::string, kMessageCount> lines_{};
};

} // namespace vm
