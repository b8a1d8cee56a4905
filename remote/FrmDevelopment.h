#pragma once
// The link monitor: how many requests, replies, retries, checksum failures and time-outs the link has had,
// the round-trip times, and the latest frames on the line in hex, which can be saved to a text file.

#include "EditorBase.h"

#include <array>
#include <cstdint>

class QLabel;
class QPlainTextEdit;

namespace vm::link {
class LinkMonitor;
}

namespace vm::remote {

class FrmDevelopment : public editors::EditorBase {
    Q_OBJECT
public:
    FrmDevelopment(editors::EditorContext& ctx, QWidget* parent = nullptr);

    // Reads the monitor again: the figures, and the trace lines that arrived since the last refresh.
    void refresh();

protected:
    void buildExtra() override;

private:
    void resetCounts();
    void saveTrace();

    link::LinkMonitor* monitor_ = nullptr;
    std::array<QLabel*, 8> figures_{};
    QPlainTextEdit* trace_ = nullptr;
    QLabel* status_ = nullptr;
    std::uint64_t shownSerial_ = 0; // the last trace entry on screen
};

} // namespace vm::remote
