#include "ParamTableModel.h"

#include "ParamWrite.h"

namespace vm::app {

namespace {
// The parameter's value as an image holds it, over the catalogue's address and width.
ParamData valueAt(const catalogue::ParamInfo& p, const auto& byteAt) {
    if (p.isText) {
        std::string text;
        for (int i = 0; i < p.width; ++i)
            text.push_back(static_cast<char>(byteAt(p.address + i)));
        return text;
    }
    double value = 0;
    double weight = 1;
    for (int i = 0; i < p.width; ++i, weight *= 256)
        value += byteAt(p.address + i) * weight;
    return value;
}

bool inConfigArea(const catalogue::ParamInfo& p, int first) {
    return p.space == catalogue::Space::Configuration && p.address >= first &&
           p.address + p.width <= kConfigAreaSize;
}
} // namespace

QString ShowValue(const ParamData& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return QString::fromLatin1(*text);
    return QString::number(static_cast<qulonglong>(std::get<double>(value)));
}

ParamTableModel::ParamTableModel(ProgramState& state, const FormList& forms, Source source, QObject* parent)
    : QAbstractTableModel(parent), state_(state), forms_(forms), source_(source), params_(catalogue::all()),
      rowOfIndex_(kParamIndexCount, -1) {
    for (std::size_t row = 0; row < params_.size(); ++row)
        if (params_[row].index > 0 && params_[row].index < kParamIndexCount)
            rowOfIndex_[static_cast<std::size_t>(params_[row].index)] = static_cast<int>(row);
}

int ParamTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(params_.size());
}

int ParamTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int ParamTableModel::rowOf(int paramIndex) const {
    return paramIndex > 0 && paramIndex < kParamIndexCount ? rowOfIndex_[static_cast<std::size_t>(paramIndex)]
                                                           : -1;
}

void ParamTableModel::setPlaces(const std::vector<EditorPlace>* places) {
    places_ = places;
    if (!params_.empty()) emit dataChanged(index(0, Window), index(rowCount() - 1, Window));
}

const EditorPlace* ParamTableModel::place(int row) const {
    if (!places_) return nullptr;
    const EditorPlace& p = (*places_)[static_cast<std::size_t>(param(row).index)];
    return p.form.isEmpty() ? nullptr : &p;
}

std::optional<ParamData> ParamTableModel::current(int row) const {
    const catalogue::ParamInfo& p = param(row);
    if (source_ == Source::LiveCells && state_.Online) {
        if (!state_.ParamIsValid(p.index, 0)) return std::nullopt;
        return state_.cellData(p.index, 0);
    }
    if (!inConfigArea(p, 0)) return std::nullopt;
    return valueAt(p, [this](int a) { return state_.ConfigImage[static_cast<std::size_t>(a)]; });
}

std::optional<ParamData> ParamTableModel::inFile(int row) const {
    const catalogue::ParamInfo& p = param(row);
    if (!reference_ || !inConfigArea(p, reference_->imageLoadFirst())) return std::nullopt;
    return valueAt(p, [this](int a) { return reference_->imageByte(a); });
}

bool ParamTableModel::differs(int row) const {
    const auto a = current(row);
    const auto b = inFile(row);
    return a && b && *a != *b;
}

QString ParamTableModel::takeFromFile(int row) {
    const auto value = inFile(row);
    if (!value) return QStringLiteral("The file holds no value of parameter %1.").arg(param(row).index);
    const QString error = WriteParamData(state_, forms_, param(row), *value, log_, window_);
    if (error.isEmpty()) valueChanged(param(row).index);
    return error;
}

void ParamTableModel::setReference(std::optional<ConfigFileData> file) {
    reference_ = std::move(file);
    if (!params_.empty()) emit dataChanged(index(0, InFile), index(rowCount() - 1, InFile));
}

QVariant ParamTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row();
    const catalogue::ParamInfo& p = param(row);
    if (role == Qt::TextAlignmentRole && index.column() != Name && index.column() != Window)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (index.column()) {
    case Index:
        return p.index;
    case Name:
        return QString::fromUtf8(p.name.data(), static_cast<qsizetype>(p.name.size()));
    case Address:
        return p.address;
    case Width:
        return p.isText ? QStringLiteral("text %1").arg(p.width) : QString::number(p.width);
    case Value: {
        const auto v = current(row);
        return v ? ShowValue(*v) : QString();
    }
    case Window: {
        const EditorPlace* where = place(row);
        return where ? where->form : QString();
    }
    case InFile: {
        const auto v = inFile(row);
        return v ? ShowValue(*v) : QString();
    }
    default:
        return {};
    }
}

QVariant ParamTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section >= 0 && section < ColumnCount ? headers_[section] : QVariant();
}

void ParamTableModel::setHeader(Column column, const QString& text) {
    headers_[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

Qt::ItemFlags ParamTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Value && ParamWritable(param(index.row())) &&
        current(index.row()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool ParamTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    lastError_.clear();
    if (!index.isValid() || index.column() != Value || role != Qt::EditRole) return false;
    lastError_ = WriteParamText(state_, forms_, param(index.row()), value.toString(), log_, window_);
    if (!lastError_.isEmpty()) {
        emit refused(lastError_);
        return false;
    }
    valueChanged(param(index.row()).index);
    return true;
}

void ParamTableModel::valueChanged(int paramIndex) {
    const int row = rowOf(paramIndex);
    if (row >= 0) emit dataChanged(index(row, Value), index(row, Value));
}

void ParamTableModel::refreshAll() {
    if (!params_.empty()) emit dataChanged(index(0, Value), index(rowCount() - 1, Value));
}

ParamFilter::ParamFilter(ParamTableModel* model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model) {
    setSourceModel(model);
}

void ParamFilter::setText(const QString& text) {
    text_ = text.trimmed();
    invalidateRowsFilter();
}

void ParamFilter::setChangedOnly(bool on) {
    changedOnly_ = on;
    invalidateRowsFilter();
}

bool ParamFilter::filterAcceptsRow(int row, const QModelIndex&) const {
    if (changedOnly_ && !model_->differs(row)) return false;
    if (text_.isEmpty()) return true;
    const catalogue::ParamInfo& p = model_->param(row);
    if (QString::number(p.index) == text_) return true;
    if (QString::fromUtf8(p.name.data(), static_cast<qsizetype>(p.name.size()))
            .contains(text_, Qt::CaseInsensitive))
        return true;
    const EditorPlace* where = model_->place(row);
    return where && where->form.contains(text_, Qt::CaseInsensitive);
}

} // namespace vm::app
