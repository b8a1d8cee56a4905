#pragma once
// Check-box lists whose rows are bits of parameters, a row checked when its bit is 0 (an entry that a mask
// leaves out has its bit set).
//
// BitRows declares the rows of a list in the order of their bits: each row takes the next bit of the current
// mask, and after the mask's last bit bit 0 of the next mask. KeyedBitRows are rows a window adds to a list
// whose parameter and bit follow a key chosen beside the list (one bit per key, one mask per entry).

#include "EditorDefinition.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace vm::editors {

class EditorBase;

class BitRows {
public:
    BitRows(EditorDefinition::Place place, QString list) : place_(place), list_(std::move(list)) {}

    // The next row takes bit `bit` of `param`.
    BitRows& from(int param, int bit = 0);
    BitRows& add(const QString& text);
    BitRows& add(const QStringList& texts);
    template <typename... More> BitRows& add(const char* text, More... more) {
        add(QString::fromUtf8(text));
        if constexpr (sizeof...(more) > 0) add(more...);
        return *this;
    }
    // `pattern` with {n} replaced by 1..count.
    BitRows& numbered(const char* pattern, int count);

private:
    EditorDefinition::Place place_;
    QString list_;
    int row_ = 0;
    int param_ = 0;
    int bit_ = 0;
};

class KeyedBitRows : public QObject {
    Q_OBJECT
public:
    // Parameter and bit of an entry (its position among `texts`) for the key chosen now.
    using Locate = std::function<std::pair<int, int>(int entry)>;
    using Write = std::function<void(int param, std::uint32_t value)>;

    // Appends a row per text to `list`; a tick goes through `write` (the window's write with its twin).
    KeyedBitRows(EditorBase& window, QTreeWidget* list, const QStringList& texts, Locate locate, Write write);

    // Shows the rows for the key chosen now; online a row waits, disabled, until its mask has arrived.
    void show();

private:
    void changed(QTreeWidgetItem* item);

    EditorBase& window_;
    std::vector<QTreeWidgetItem*> items_;
    Locate locate_;
    Write write_;
};

} // namespace vm::editors
