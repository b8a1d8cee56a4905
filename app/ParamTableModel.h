#pragma once
// Every parameter of the catalogue as a table: index, name, address, width, the value, the editor window
// that shows it, and the value a chosen configuration file holds. Values come from the cells while
// connected (live) or from the configuration image; the value column is editable for the parameters the
// browser may change. A proxy filters the rows by text and, against a file, to the differing ones.

#include "Catalogue.h"
#include "ChangeLog.h"
#include "ConfigFile.h"
#include "EditorPlaces.h"
#include "FormList.h"
#include "ProgramState.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <optional>
#include <span>

namespace vm::app {

class ParamTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Index, Name, Address, Width, Value, Window, InFile, ColumnCount };
    // Where the values come from: the cells while connected, or always the configuration image (after a
    // whole-memory read the image is the board's memory).
    enum class Source { LiveCells, Image };

    ParamTableModel(ProgramState& state, const FormList& forms, Source source, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void setHeader(Column column, const QString& text);
    // Editing the value writes it (see ParamWrite); a refused value sets lastError() and returns false.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const catalogue::ParamInfo& param(int row) const { return params_[static_cast<std::size_t>(row)]; }
    int rowOf(int paramIndex) const; // -1 when not in the catalogue
    void setPlaces(const std::vector<EditorPlace>* places);
    const EditorPlace* place(int row) const;
    bool hasPlaces() const { return places_ != nullptr; }

    // The file compared against; nullopt: none.
    void setReference(std::optional<ConfigFileData> file);
    bool hasReference() const { return reference_.has_value(); }
    // The value shown and the file's value; nullopt where there is none (not read yet, not carried).
    std::optional<ParamData> current(int row) const;
    std::optional<ParamData> inFile(int row) const;
    // Both values known and different.
    bool differs(int row) const;
    // Takes the file's value of the row into the configuration (or the board). Returns why not.
    QString takeFromFile(int row);

    QString lastError() const { return lastError_; }
    // The change log the model's writes are recorded in, as made by the window `window`.
    void setChangeLog(ChangeLog* log, std::string window) {
        log_ = log;
        window_ = std::move(window);
    }
    // A value changed: its row shows it again.
    void valueChanged(int paramIndex);
    void refreshAll();

signals:
    // An edited value was refused: why.
    void refused(const QString& why);

private:
    ProgramState& state_;
    const FormList& forms_;
    Source source_;
    std::span<const catalogue::ParamInfo> params_;
    std::vector<int> rowOfIndex_;
    const std::vector<EditorPlace>* places_ = nullptr;
    std::optional<ConfigFileData> reference_;
    QString lastError_;
    ChangeLog* log_ = nullptr;
    std::string window_;
    QStringList headers_{"Index", "Name", "Address", "Width", "Value", "Window", "File"};
};

// The text filter (index, name or window, any case) and the "changed only" switch.
class ParamFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ParamFilter(ParamTableModel* model, QObject* parent = nullptr);
    void setText(const QString& text);
    void setChangedOnly(bool on);
    bool changedOnly() const { return changedOnly_; }
    // Looks at every row again (values changed).
    void refilter() { invalidateRowsFilter(); }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    ParamTableModel* model_;
    QString text_;
    bool changedOnly_ = false;
};

// A value as the tables show it: numbers in decimal, texts as they are.
QString ShowValue(const ParamData& value);

} // namespace vm::app
