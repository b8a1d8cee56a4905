#include "ChangeLog.h"

#include "Catalogue.h"
#include "ConfigText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <utility>

namespace vm {

namespace {

std::tm localTime(std::chrono::system_clock::time_point t) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm parts{};
    if (const std::tm* local = std::localtime(&seconds))
        parts = *local; // one thread: the static buffer is ours
    return parts;
}

std::string timeText(std::chrono::system_clock::time_point t) {
    const std::tm p = localTime(t);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.tm_year + 1900, p.tm_mon + 1,
                  p.tm_mday, p.tm_hour, p.tm_min, p.tm_sec);
    return text;
}

std::string valueText(const ParamData& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return QuotedText(*text);
    char digits[24];
    std::snprintf(digits, sizeof digits, "%.0f", std::get<double>(value));
    return digits;
}

// A field of a line: tabs and line breaks would split it.
std::string field(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

} // namespace

const char* ChangeKindName(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::Edit:
        return "edit";
    case ChangeKind::Undo:
        return "undo";
    case ChangeKind::Redo:
        return "redo";
    }
    return "edit";
}

const char* ChangeStateName(ChangeState state) {
    switch (state) {
    case ChangeState::Offline:
        return "offline";
    case ChangeState::Sent:
        return "sent";
    case ChangeState::Acknowledged:
        return "acknowledged";
    }
    return "offline";
}

std::string ChangeLine(const Change& c) {
    const catalogue::ParamInfo* info = catalogue::find(c.index);
    return "change\t" + std::to_string(c.id) + "\t" + std::to_string(c.edit) + "\t" + timeText(c.time) +
           "\t" + ChangeKindName(c.kind) + "\t" + field(c.window) + "\t" + field(c.control) + "\t" +
           std::to_string(c.index) + "\t" + field(info ? std::string(info->name) : std::string()) + "\t" +
           valueText(c.before) + "\t" + valueText(c.after) + "\t" + ChangeStateName(c.state);
}

void ChangeLog::startNew(std::string reason) {
    ++log_;
    reasons_.push_back(std::move(reason));
    file_.clear(); // the next change opens the new log's file
    for (Listener* l : std::vector<Listener*>(listeners_))
        l->logStarted(log_);
}

std::string ChangeLog::logReason(int log) const {
    return log >= 1 && log <= static_cast<int>(reasons_.size()) ? reasons_[static_cast<std::size_t>(log - 1)]
                                                                : "";
}

void ChangeLog::beginEdit(ChangeSource source) {
    if (depth_++ == 0) {
        source_ = std::move(source);
        openEdit_ = 0;
    }
}

void ChangeLog::endEdit() {
    if (depth_ == 0 || --depth_ > 0) return;
    const int done = std::exchange(openEdit_, 0);
    if (done == 0) return; // the scope wrote nothing
    for (Listener* l : std::vector<Listener*>(listeners_))
        l->editDone(done, source_.kind);
}

void ChangeLog::record(std::string_view window, int index, int mirror, int width, ParamData before,
                       ParamData after) {
    // Commands are actions, not settings: nothing to log or to take back.
    if (const catalogue::ParamInfo* info = catalogue::find(index);
        info && info->space == catalogue::Space::Commands)
        return;
    const bool alone = depth_ == 0;
    if (alone) beginEdit({std::string(window), {}, ChangeKind::Edit});
    if (openEdit_ == 0) openEdit_ = ++lastEdit_;

    Change c;
    c.id = static_cast<int>(changes_.size()) + 1;
    c.edit = openEdit_;
    c.log = log_;
    c.time = std::chrono::system_clock::now();
    c.kind = source_.kind;
    c.window = source_.window.empty() ? std::string(window) : source_.window;
    c.control = source_.control;
    c.index = index;
    c.mirror = mirror;
    c.width = width;
    c.before = std::move(before);
    c.after = std::move(after);
    if (state_.Online) {
        c.state = ChangeState::Sent;
        c.awaiting.push_back(index);
        if (mirror != 0 && mirror != index && state_.IsParameter(mirror)) c.awaiting.push_back(mirror);
        ++sent_;
    }
    changes_.push_back(std::move(c));
    append(ChangeLine(changes_.back()));
    for (Listener* l : std::vector<Listener*>(listeners_))
        l->changeRecorded(changes_.back());
    if (alone) endEdit();
}

void ChangeLog::deliver(int index, const ParamData&) {
    if (sent_ == 0 || !state_.Online || !ProgramState::isIndexInRange(index)) return;
    if (state_.cell(index, 0).has(WritePending)) return; // a newer write is still to go
    for (Change& c : changes_) {
        if (c.state != ChangeState::Sent || std::erase(c.awaiting, index) == 0 || !c.awaiting.empty())
            continue;
        c.state = ChangeState::Acknowledged;
        --sent_;
        append("ack\t" + std::to_string(c.id) + "\t" + timeText(std::chrono::system_clock::now()));
        for (Listener* l : std::vector<Listener*>(listeners_))
            l->changeAcknowledged(c);
    }
}

std::vector<const Change*> ChangeLog::changesOf(int edit) const {
    std::vector<const Change*> out;
    for (const Change& c : changes_)
        if (c.edit == edit) out.push_back(&c);
    return out;
}

const Change* ChangeLog::find(int id) const {
    return id >= 1 && id <= static_cast<int>(changes_.size()) ? &changes_[static_cast<std::size_t>(id - 1)]
                                                              : nullptr;
}

void ChangeLog::addListener(Listener* listener) {
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void ChangeLog::removeListener(Listener* listener) {
    std::erase(listeners_, listener);
}

// The log's file is made readable by its owner only: it tells what was set on a customer's machine.
bool ChangeLog::openFile() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        fileError_ = "cannot create " + folder_.string() + ": " + ec.message();
        return false;
    }
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace, ec);
    const auto now = std::chrono::system_clock::now();
    const std::tm p = localTime(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    char stem[40];
    std::snprintf(stem, sizeof stem, "%04d%02d%02d-%02d%02d%02d-%03d", p.tm_year + 1900, p.tm_mon + 1,
                  p.tm_mday, p.tm_hour, p.tm_min, p.tm_sec, static_cast<int>(ms));
    fs::path path = folder_ / (std::string(stem) + ".log");
    for (int n = 2; fs::exists(path, ec); ++n)
        path = folder_ / (std::string(stem) + "-" + std::to_string(n) + ".log");
    { std::ofstream create(path, std::ios::binary); }
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, ec);
    if (ec || !fs::is_regular_file(path, ec)) {
        fileError_ = "cannot create " + path.string();
        return false;
    }
    file_ = path;
    append("# change log of vmconfig; one line per event, fields separated by tabs:");
    append("# change ID EDIT TIME KIND WINDOW CONTROL INDEX NAME OLD NEW STATE / ack ID TIME / log N TIME "
           "REASON");
    append("log\t" + std::to_string(log_) + "\t" + timeText(now) + "\t" + field(logReason(log_)));
    return true;
}

void ChangeLog::append(const std::string& line) {
    if (folder_.empty()) return;
    if (file_.empty() && !openFile()) return;
    std::ofstream out(file_, std::ios::binary | std::ios::app);
    out << line << '\n';
    out.flush();
    if (!out) fileError_ = "cannot write " + file_.string();
}

} // namespace vm
