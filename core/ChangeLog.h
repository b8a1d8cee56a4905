#pragma once
// The record of a visit: every value an editor window wrote, the value it replaced, when, and whether the
// board took it. One log runs from a Load, New or board write to the next; the earlier logs of the run stay
// for the service report. Each log is appended to a file of its own as it grows, so the record of a visit
// survives a crash of the program.
//
// The board's acknowledgement of a write is the delivery of the written cell after the link sent it: the
// link delivers nothing of a cell while its write is still to be sent. The log hears every delivery the
// link makes (FormList's listener).

#include "Delivery.h"
#include "ProgramState.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

enum class ChangeKind { Edit, Undo, Redo };
enum class ChangeState {
    Offline,      // stored in the configuration image: done at once
    Sent,         // marked for the board, not acknowledged yet
    Acknowledged, // the board took the parameter and its mirror
};

const char* ChangeKindName(ChangeKind kind);    // "edit", "undo", "redo"
const char* ChangeStateName(ChangeState state); // "offline", "sent", "acknowledged"

struct Change {
    int id = 0;   // 1, 2, ... over the whole run
    int edit = 0; // the user's action it belongs to: the writes of one control change share it
    int log = 0;  // 1 for the run's first log; a Load, New or board write starts the next
    std::chrono::system_clock::time_point time;
    ChangeKind kind = ChangeKind::Edit;
    std::string window;  // "FrmTempi"
    std::string control; // "HScroll1(3)"; empty when the window wrote on its own
    int index = 0;
    int mirror = 0;
    int width = 1; // bytes; 0 for a text
    ParamData before;
    ParamData after;
    ChangeState state = ChangeState::Offline;
    std::vector<int> awaiting; // cells whose acknowledgement is still missing
};

// Who makes the writes of one edit.
struct ChangeSource {
    std::string window;
    std::string control;
    ChangeKind kind = ChangeKind::Edit;
};

class ChangeLog : public DeliveryTarget {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void changeRecorded(const Change&) {}
        virtual void changeAcknowledged(const Change&) {}
        // The writes of edit `edit` are complete (its changes carry the number).
        virtual void editDone(int /*edit*/, ChangeKind) {}
        virtual void logStarted(int /*log*/) {}
    };

    explicit ChangeLog(const ProgramState& state) : state_(state) {}

    // The folder the logs are written to (created when the first change is recorded); empty: kept in memory.
    void setFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
    // Starts the next log: the changes from now on belong to it.
    void startNew(std::string reason);

    // The writes until the matching endEdit() are one edit of `source` (nested scopes join the outer one).
    void beginEdit(ChangeSource source);
    void endEdit();
    class EditScope {
    public:
        EditScope(ChangeLog* log, ChangeSource source) : log_(log) {
            if (log_) log_->beginEdit(std::move(source));
        }
        ~EditScope() {
            if (log_) log_->endEdit();
        }
        EditScope(const EditScope&) = delete;
        EditScope& operator=(const EditScope&) = delete;

    private:
        ChangeLog* log_;
    };

    // Records a write of `after` over `before` by `window` (the open edit's control and kind go with it; a
    // write outside any edit is an edit of its own). Call it before the write: online it awaits the board's
    // acknowledgement of the parameter and of its mirror.
    void record(std::string_view window, int index, int mirror, int width, ParamData before, ParamData after);

    // The link delivered a value: while connected, a cell with no write left to send acknowledges the
    // changes that wait for it.
    void deliver(int index, const ParamData& value) override;

    const std::vector<Change>& changes() const { return changes_; }
    int currentLog() const { return log_; }
    std::string logReason(int log) const;
    // The changes of one edit, in the order they were written.
    std::vector<const Change*> changesOf(int edit) const;
    const Change* find(int id) const;

    // The file of the current log (empty until its first change), and the last error in writing it.
    const std::filesystem::path& file() const { return file_; }
    const std::string& fileError() const { return fileError_; }

    void addListener(Listener* listener);
    void removeListener(Listener* listener);

private:
    void append(const std::string& line);
    bool openFile();

    const ProgramState& state_;
    std::filesystem::path folder_;
    std::filesystem::path file_;
    std::string fileError_;
    std::vector<Change> changes_;
    std::vector<std::string> reasons_{"start"}; // why each log began; log n at n - 1
    std::vector<Listener*> listeners_;
    int log_ = 1;
    int lastEdit_ = 0;
    int depth_ = 0;
    int openEdit_ = 0; // the edit the open scope's writes share; 0 until its first write
    ChangeSource source_;
    int sent_ = 0; // changes still waiting for the board
};

// One change as a line of the log file, fields separated by tabs (texts quoted as ConfigText does).
std::string ChangeLine(const Change& change);

} // namespace vm
