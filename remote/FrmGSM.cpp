#include "FrmGSM.h"

#include "Catalogue.h"
#include "MessageBox.h"
#include "widgets/CommitLineEdit.h"
#include "widgets/SliderSwitch.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolBar>

#include <algorithm>

namespace vm::remote {

using editors::Caption;
using editors::CommitLineEdit;
using editors::SliderSwitch;

namespace {

constexpr int kTail12067 = 12145; // bytes 17..24 of the 24-byte setting 12067

// The order in which the window shows its settings after a file was opened; "WriteAll" sends them in the
// same order.
const std::vector<int>& settingsOrder() {
    static const std::vector<int> order = [] {
        std::vector<int> o{12055, 12876, 12877, 12071, 12072, 12878, 12067, kTail12067, 12068, 12139, 12144, 12057};
        for (int i = 12058; i <= 12066; ++i)
            o.push_back(i);
        o.insert(o.end(), {12069, 12070});
        for (int i = 12130; i <= 12135; ++i)
            o.push_back(i);
        o.insert(o.end(), {12073, 12074, 12075, 12076, 12056, 12136, 12137, 12138, 13307, 13308});
        for (int i = 13309; i <= 13312; ++i)
            o.push_back(i);
        return o;
    }();
    return order;
}

const char* const kPeriods[] = {"None", "Daily", "Weekly", "Monthly"};
constexpr int kDayParams[2] = {12130, 12134};
constexpr int kSliderParams[4] = {12131, 12135, 12144, 13308};
constexpr int kAlarmParam = 12139;

const catalogue::ParamInfo& info(int index) {
    static const catalogue::ParamInfo none{};
    const catalogue::ParamInfo* p = catalogue::find(index);
    return p ? *p : none;
}

bool allDigits(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
}

// The characters of a text setting up to its first NUL.
QString textOf(const std::vector<std::uint8_t>& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()), end - bytes.begin());
}

// A text cut to `width` characters and filled up with NULs.
std::vector<std::uint8_t> nulFilled(const QString& text, int width) {
    const QByteArray latin = text.left(width).toLatin1();
    std::vector<std::uint8_t> bytes(latin.begin(), latin.end());
    bytes.resize(static_cast<std::size_t>(width), 0);
    return bytes;
}

std::vector<std::uint8_t> numberBytes(std::uint32_t value, int width) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < width; ++i, value >>= 8)
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    return bytes;
}

} // namespace

FrmGSM::FrmGSM(editors::EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    editors::EditorDefinition d(QStringLiteral("FrmGSM"), Caption(859, "Dati GSM"));
    d.window().frame(QStringLiteral("FrameFile"), Caption(""), 1);
    d.window().frame(QStringLiteral("Frame1"), Caption(860, "Modulo"), 2);
    d.window().frame(QStringLiteral("Frame2"), Caption("EMAIL"), 2);
    d.window().frame(QStringLiteral("Frame3"), Caption(842, "Cancella Dati di Vendita"), 2);
    d.extraWatch = settingsOrder();
    texts_ = {
        {"Text3", {12058, 12059, 12060}, Caption(852, "Server SMTP"), false},
        {"Text10", {13309, 13310, 13311}, Caption(853, "Nome Dominio"), false},
        {"Text6", {12073, 12074}, Caption(840, "UserName"), false},
        {"Text7", {12061, 12062}, Caption(839, "Password"), true},
        {"Text8", {12063, 12064}, Caption(851, "Password GPRS"), true},
        {"Text2", {12056}, Caption(847, "N. Destinatario SMS"), false},
        {"Text1", {12055, 12876, 12877}, Caption(846, "Indirizzo EMAIL Destinatario"), false},
        {"Text9", {12071, 12072, 12878}, Caption(857, "Indirizzo EMAIL Mittente"), false},
        {"Text11", {12065, 12066}, Caption(858, "Nome Mittente"), false},
        {"Text15", {12136, 12137, 12138}, Caption(856, "Oggetto"), false},
    };
    numbers_ = {
        {"Text14", 12057, 0, Caption(841, "N° Porta SMTP")},
        {"Text12", 12075, 0, Caption(850, "Numero Telefono SIM")},
        {"Text13", 12076, 0, Caption(848, "N. Centro Servizi")},
        {"Text5", 12070, 23, {}}, // hours and minutes of "Orario Invio EMAIL"
        {"Text4", 12069, 59, {}},
        {"Text24", 12132, 23, {}}, // hours and minutes of "Orario Cancella"
        {"Text25", 12133, 59, {}},
    };
    header_.boardType = ctx.state.BoardType;
    header_.software = ctx.state.BoardSoftware;
    setup(std::move(d));
    updateEnabling();
}

void FrmGSM::buildExtra() {
    buildToolBar(frame(QStringLiteral("FrameFile")));
    QWidget* module = frame(QStringLiteral("Frame1"));
    QWidget* mail = frame(QStringLiteral("Frame2"));
    QWidget* clearing = frame(QStringLiteral("Frame3"));

    const auto addSlider = [this](int i, const Caption& caption, QStringList positions, QWidget* container) {
        auto* sw = new SliderSwitch(container);
        sw->setPositions(positions);
        registerControl(QStringLiteral("iSwitchSliderX2"), i, sw);
        connect(sw, &SliderSwitch::valueChanged, this, [this, i](int position) {
            if (!isLoading()) writeSetting(kSliderParams[i], {static_cast<std::uint8_t>(position)});
        });
        addRow(container, captionLabel(caption, container), sw);
        requireValues(sw, {kSliderParams[i]});
        sliders_[i] = sw;
    };
    const auto addDay = [this](int i, QWidget* container) {
        auto* bar = new QScrollBar(Qt::Horizontal, container);
        bar->setRange(0, 31);
        bar->setMinimumWidth(160);
        auto* label = new QLabel(container); // empty until the day is read
        registerControl(QStringLiteral("HScroll1"), i, bar);
        registerControl(QStringLiteral("Label6"), i, label);
        connect(bar, &QScrollBar::valueChanged, this, [this, i, label](int day) {
            label->setNum(day);
            if (!isLoading()) writeSetting(kDayParams[i], {static_cast<std::uint8_t>(day)});
        });
        addRow(container, captionLabel(Caption(843, "Giorno"), container), bar, label);
        requireValues(bar, {kDayParams[i]});
        days_[i] = bar;
        dayLabels_[i] = label;
    };

    addSlider(3, Caption(861, "Modulo GSM"), {"Off", "On"}, module);
    addSlider(2, Caption(838, "Autenticazione"), {"None", "Plain", "Login"}, module);
    for (std::size_t g = 0; g < 5; ++g)
        addTextGroup(texts_[g], module);
    addNumberField(numbers_[0], module);
    addNumberField(numbers_[1], module);
    addNumberField(numbers_[2], module);
    showPasswords_ = new QCheckBox(module);
    registerControl(QStringLiteral("Check1"), 0, showPasswords_);
    addText(Caption(862, "Mostra Password"), [box = showPasswords_](const QString& s) { box->setText(s); });
    connect(showPasswords_, &QCheckBox::toggled, this, [this](bool shown) {
        for (TextGroup& g : texts_)
            if (g.secret) g.edit->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    addRow(module, nullptr, showPasswords_);

    addSlider(0, Caption(855, "Audit"), {kPeriods[0], kPeriods[1], kPeriods[2], kPeriods[3]}, mail);
    addDay(0, mail);
    addTimeFields(numbers_[3], numbers_[4], Caption(854, "Orario Invio EMAIL"), mail);
    for (std::size_t g = 5; g < texts_.size(); ++g)
        addTextGroup(texts_[g], mail);
    auto* alarms = new QWidget(mail);
    auto* alarmsLayout = new QHBoxLayout(alarms);
    alarmsLayout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(alarms);
        addText(i == 0 ? Caption("No") : Caption(863, "Si"),
                [option](const QString& s) { option->setText(s); });
        registerControl(QStringLiteral("Option1"), i, option);
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !isLoading()) writeSetting(kAlarmParam, {static_cast<std::uint8_t>(i)});
        });
        alarmsLayout->addWidget(option);
        requireValues(option, {kAlarmParam});
        alarms_[i] = option;
    }
    addRow(mail, captionLabel(Caption(845, "Allarmi"), mail), alarms);

    addSlider(1, Caption(842, "Cancella Dati di Vendita"),
              {kPeriods[0], kPeriods[1], kPeriods[2], kPeriods[3]}, clearing);
    addDay(1, clearing);
    addTimeFields(numbers_[5], numbers_[6], Caption(844, "Orario Cancella"), clearing);
}

void FrmGSM::buildToolBar(QWidget* container) {
    auto* bar = new QToolBar(container);
    registerControl(QStringLiteral("Toolbar1"), 0, bar);
    const auto addAction = [this, bar](const char* key, const Caption& caption, void (FrmGSM::*handler)()) {
        QAction* action = bar->addAction(QString());
        action->setObjectName(QString::fromLatin1(key));
        addText(caption, [action](const QString& s) { action->setText(s); });
        connect(action, &QAction::triggered, this, [this, handler] {
            if (!isLoading() && !isClosed()) (this->*handler)();
        });
        return action;
    };
    addAction("Open", Caption(864, "Apri"), &FrmGSM::openFile);
    addAction("Save", Caption(865, "Salva"), &FrmGSM::saveFile);
    writeAllAction_ = addAction("WriteAll", Caption(866, "Scrivi Tutto"), &FrmGSM::writeAll);
    // "WriteAll" sends the window's copy of every setting: live, each must have come from the board first.
    std::vector<int> written;
    for (int index : settingsOrder())
        if (info(index).width != 0) written.push_back(index);
    requireValues(writeAllAction_, std::move(written));
    status_ = new QLabel(container);
    registerControl(QStringLiteral("StatusBar1"), 0, status_);
    addRow(container, nullptr, bar, status_);
}

void FrmGSM::addTextGroup(TextGroup& group, QWidget* container) {
    auto* edit = new CommitLineEdit(container);
    edit->setFlashMs(commitFlashMs());
    edit->setBlocked([this] { return isLoading(); });
    edit->setMaxLength(kPiece * static_cast<int>(group.params.size()));
    edit->setMinimumWidth(group.params.size() > 1 ? 260 : 160);
    if (group.secret) edit->setEchoMode(QLineEdit::Password);
    registerControl(QString::fromLatin1(group.control), 0, edit);
    connect(edit, &CommitLineEdit::commitRequested, this, [this, &group](const QString& typed) {
        commitText(group, typed);
    });
    addRow(container, captionLabel(group.caption, container), edit);
    // A text split over several settings is typed whole: every piece must be known before it is edited.
    requireValues(edit, group.params);
    group.edit = edit;
}

CommitLineEdit* FrmGSM::numberBox(NumberField& field, QWidget* container) {
    auto* edit = new CommitLineEdit(container);
    edit->setFlashMs(commitFlashMs());
    edit->setBlocked([this] { return isLoading(); });
    const catalogue::ParamInfo& p = info(field.param);
    edit->setMaxLength(p.isText ? p.width : 3);
    registerControl(QString::fromLatin1(field.control), 0, edit);
    connect(edit, &CommitLineEdit::commitRequested, this,
            [this, &field](const QString& typed) { commitNumber(field, typed); });
    requireValues(edit, {field.param});
    field.edit = edit;
    return edit;
}

void FrmGSM::addNumberField(NumberField& field, QWidget* container) {
    addRow(container, captionLabel(field.caption, container), numberBox(field, container));
}

void FrmGSM::addTimeFields(NumberField& hours, NumberField& minutes, const Caption& caption,
                           QWidget* container) {
    auto* time = new QWidget(container);
    auto* row = new QHBoxLayout(time);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(numberBox(hours, time));
    row->addWidget(new QLabel(QStringLiteral(":"), time));
    row->addWidget(numberBox(minutes, time));
    row->addStretch();
    addRow(container, captionLabel(caption, container), time);
}

// --- values ---

std::vector<std::uint8_t> FrmGSM::bufferBytes(int index) const {
    const catalogue::ParamInfo& p = info(index);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < p.width; ++i)
        if (IsTelemetryAddress(p.address + i))
            bytes.push_back(buffer_[static_cast<std::size_t>(TelemetryOffset(p.address + i))]);
    return bytes;
}

std::uint32_t FrmGSM::bufferNumber(int index) const {
    const auto bytes = bufferBytes(index);
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = value * 256 + bytes[i];
    return value;
}

void FrmGSM::afterDelivery(int index, const ParamData& value) {
    // While a file is edited the board's values do not replace the file's copy.
    if (fileMode_) return;
    const catalogue::ParamInfo& p = info(index);
    if (const auto* text = std::get_if<std::string>(&value)) {
        std::vector<std::uint8_t> bytes(text->begin(), text->end());
        bytes.resize(static_cast<std::size_t>(p.width), 0);
        storeAndShow(index, bytes);
    } else {
        storeAndShow(index, numberBytes(static_cast<std::uint32_t>(std::max(0.0, std::get<double>(value))), p.width));
    }
}

void FrmGSM::storeAndShow(int index, const std::vector<std::uint8_t>& bytes) {
    const catalogue::ParamInfo& p = info(index);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (IsTelemetryAddress(p.address + static_cast<int>(i)))
            buffer_[static_cast<std::size_t>(TelemetryOffset(p.address + static_cast<int>(i)))] = bytes[i];
    showSetting(index);
}

void FrmGSM::showSetting(int index) {
    const bool wasLoading = std::exchange(loading_, true);
    for (TextGroup& g : texts_) {
        if (std::find(g.params.begin(), g.params.end(), index) == g.params.end()) continue;
        QString text;
        for (int param : g.params)
            text += textOf(bufferBytes(param));
        g.edit->showCommitted(text.trimmed());
    }
    for (NumberField& f : numbers_) {
        if (f.param != index) continue;
        f.edit->showCommitted(info(index).isText ? textOf(bufferBytes(index)).trimmed()
                                                 : QString::number(bufferNumber(index)));
    }
    const int value = static_cast<int>(bufferNumber(index));
    for (int i = 0; i < 2; ++i)
        if (kDayParams[i] == index) {
            days_[i]->setValue(value);
            dayLabels_[i]->setNum(value);
        }
    for (int i = 0; i < 4; ++i)
        if (kSliderParams[i] == index) sliders_[i]->setValue(value);
    if (index == kAlarmParam && value <= 1) alarms_[value]->setChecked(true);
    loading_ = wasLoading;
}

void FrmGSM::writeSetting(int index, const std::vector<std::uint8_t>& bytes) {
    if (!state().Online || fileMode_) return storeAndShow(index, bytes);
    setBoardCell(index, bytes);
    // The board's answer is shown when it arrives; the copy holds the value already, for Save and WriteAll.
    storeAndShow(index, bytes);
}

void FrmGSM::setBoardCell(int index, const std::vector<std::uint8_t>& bytes) {
    ProgramState& state = context().state;
    state.CurrentBank = 0;
    if (info(index).isText) {
        state.SetParamValue(index,
                            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return;
    }
    std::uint32_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = value * 256 + bytes[i];
    state.SetParamValue(index, static_cast<double>(value));
}

// --- commits ---

void FrmGSM::commitText(TextGroup& group, const QString& typed) {
    if (isLoading() || isClosed()) return;
    const auto bad =
        std::find_if(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 32 || c.unicode() > 126; });
    if (bad != typed.end()) {
        group.edit->rejectCommit();
        showError(QStringLiteral("The module cannot store the character \"%1\": use letters, digits, blanks and "
                                 "the signs of the keyboard.")
                      .arg(*bad));
        return;
    }
    const QString text = typed.trimmed();
    group.edit->acceptCommit();
    for (std::size_t i = 0; i < group.params.size(); ++i)
        writeSetting(group.params[i], nulFilled(text.mid(static_cast<qsizetype>(i) * kPiece, kPiece), kPiece));
}

void FrmGSM::commitNumber(NumberField& field, const QString& typed) {
    if (isLoading() || isClosed()) return;
    const QString text = typed.trimmed();
    const catalogue::ParamInfo& p = info(field.param);
    const auto refuse = [&](const char* message) {
        field.edit->rejectCommit();
        editors::showMessage({this, editors::MessageIcon::Exclamation, editors::MessageButtons::Ok,
                              QString::fromLatin1(message), windowTitle()});
    };
    if (!allDigits(text)) return refuse("Insert only number");
    if (p.isText ? text.size() > p.width : text.size() > 3 || text.toInt() > field.max)
        return refuse(" Value out of range");
    field.edit->acceptCommit();
    writeSetting(field.param, p.isText ? nulFilled(text, p.width) : numberBytes(text.toUInt(), p.width));
}

// --- tool bar ---

void FrmGSM::openFile() {
    const QString path = chooseFile(false, QStringLiteral("Open"), QStringLiteral("Configuration(*.tlm)|*.tlm"));
    if (path.isEmpty() || QFileInfo(path).fileName() == QStringLiteral("*.tlm")) return;
    const TelemetryReadResult read = ReadTelemetryFile(path.toStdString());
    if (!read.ok()) {
        // A file that fails its checks changes nothing: the window keeps its copy and its mode.
        editors::showMessage({this, editors::MessageIcon::Exclamation, editors::MessageButtons::Ok,
                              QString::fromStdString(read.error), QString::fromLatin1(kTelemetryErrorTitle.data())});
        return;
    }
    fileMode_ = true;
    buffer_ = read.record;
    header_ = ReadTelemetryHeader(read.record);
    for (int index : settingsOrder())
        showSetting(index);
    updateEnabling();
    setStatusLine(QFileInfo(path).fileName());
}

TelemetryHeader FrmGSM::headerForSave() const {
    TelemetryHeader h = header_;
    if (!state().Online) return h;
    h.boardType = state().BoardType;
    h.edition = state().BoardRevision <= 4 ? state().BoardRevision : 0;
    h.software = state().BoardSoftware;
    h.modelCode = state().ModelCode;
    h.machineByte = state().AuxImage[9];
    h.unitCodes = state().UnitCodes;
    return h;
}

void FrmGSM::saveFile() {
    const QString path = chooseFile(true, QStringLiteral("Save"), QStringLiteral("Configuration(*.tlm)|*.tlm"),
                                    QStringLiteral("*.tlm"));
    if (path.isEmpty() || QFileInfo(path).fileName() == QStringLiteral("*.tlm")) return;
    const std::string error = SaveTelemetryFile(path.toStdString(), buffer_, headerForSave());
    if (!error.empty()) {
        showError(QString::fromStdString(error));
        return;
    }
    setStatusLine(QFileInfo(path).fileName());
}

// Everything the window carries, the settings without a control of their own included, in the order of the
// delivery after opening a file.
void FrmGSM::writeAll() {
    if (!state().Online) return;
    for (QGroupBox* f : {frame(QStringLiteral("Frame1")), frame(QStringLiteral("Frame2")), frame(QStringLiteral("Frame3"))})
        f->setEnabled(false);
    // The module's settings go to the board's cells only: the configuration image never carries its passwords.
    for (int index : settingsOrder())
        if (info(index).width != 0) setBoardCell(index, bufferBytes(index));
    updateEnabling();
}

void FrmGSM::updateEnabling() {
    const bool editable = state().Online || fileMode_;
    for (QGroupBox* f : {frame(QStringLiteral("Frame1")), frame(QStringLiteral("Frame2")), frame(QStringLiteral("Frame3"))})
        f->setEnabled(editable);
    writeAllAction_->setEnabled(state().Online);
    applyRules(); // what still waits for the board's values stays disabled
}

void FrmGSM::setStatusLine(const QString& what) {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale english(QLocale::English);
    status_->setText(english.toString(now, QStringLiteral("dd MMM yyyy")) + QStringLiteral(" -- ") +
                     now.toString(QStringLiteral("hh:mm")) + QStringLiteral(" -- ") + what);
}

} // namespace vm::remote
