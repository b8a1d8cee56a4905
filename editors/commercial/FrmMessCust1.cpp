#include "FrmMessCust1.h"

#include "Conditions.h"
#include "ParamNames.h"
#include "widgets/CommitLineEdit.h"

#include <QAbstractSlider>
#include <QFont>
#include <QLabel>

#include <algorithm>
#include <utility>

namespace vm::editors {

namespace {
constexpr int kCount[2] = {param::MessageCount, param::MessageCount + 1}; // messages of line 1 and 2
constexpr int kMode[2] = {param::MessageMode, param::MessageMode + 1};
// SecondLanguage 0: none; s: the block of language s. The first language's texts: line 1 from
// MessageTextFirstLanguage, line 2 four pieces on. Language s: 8 pieces from MessageTextSecondLanguage + 8s,
// line 1, then line 2.
constexpr int kFirstLanguage = param::MessageTextFirstLanguage;
// Language 9 would run into the final pauses that follow: the board has room for languages 1..8.
constexpr int kLanguages = 8;
constexpr int kPiecesPerLine = 4;

const char* const kModes[] = {"Normale", "Messaggi Scorrevoli", "Messaggi Alternati", "Messaggi Fissi"};

QString withoutTrailingBlanks(QString text) {
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

int secondLanguageBlock(int s) {
    return param::MessageTextSecondLanguage + 8 * s;
}

bool secondLanguageChosen(const EditorBase& e) {
    const auto s = e.currentValue(param::SecondLanguage);
    return s >= 1 && s <= kLanguages;
}
} // namespace

// base candidate: the text write converts to Latin-1 and would change such a character silently; every text
// box of the board could refuse it the same way.
QString FrmMessCust1::unshowable(const QString& text) {
    const auto bad =
        std::find_if(text.begin(), text.end(), [](QChar c) { return c.unicode() < 32 || c.unicode() > 126; });
    return bad == text.end() ? QString() : QString(*bad);
}

FrmMessCust1::FrmMessCust1(EditorContext& ctx, QWidget* parent) : EditorBase(ctx, parent) {
    EditorDefinition d(QStringLiteral("FrmMessCust1"), Caption("Messaggi Custom"));
    for (int line = 0; line < 2; ++line) {
        auto f = d.window().frame(QStringLiteral("FrameRiga%1").arg(line + 1),
                                  Caption(QStringLiteral("RIGA %1").arg(line + 1)), 1);
        for (int k = 0; k < 4; ++k)
            f.add(optionButton(QStringLiteral("Option%1").arg(line + 1), k, kMode[line], kFromCatalogue, k)
                      .titled(Caption(kModes[k])));
        f.add(numberBox(QStringLiteral("Text%1").arg(line + 1), 0, kCount[line], kFromCatalogue, 0, 255)
                  .error(Caption(" Value Out of Range"))
                  .notNumeric(Caption("Insert only Number "))
                  .titled(Caption("N°   Messaggi")));
    }
    d.window()
        .add(scrollBar("HScroll10", 0, param::MessageDisplayTime)
                 .step(5)
                 .valueLabel("Label10", 0)
                 .titled(Caption("Vis. Messaggi (sec.)")))
        .add(sliderSwitch("SlswitchX1", 0, param::SecondLanguage, kFromCatalogue,
                          {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})
                 .titled(Caption("Seconda Lingua")));
    d.page(Caption("LINGUA 1"));
    d.page(Caption("LINGUA 2")).enabledIf(secondLanguageChosen);
    for (int i = 0; i < 2 * kPiecesPerLine; ++i)
        d.extraWatch.push_back(kFirstLanguage + i);
    shownLanguage_ = chosenLanguage(); // what the loading below watches
    setup(std::move(d));
}

// Of the eight second languages only the chosen one is shown, so only its texts are read: all eight would take
// the line a second.
int FrmMessCust1::chosenLanguage() const {
    return secondLanguageChosen(*this) ? static_cast<int>(currentValue(param::SecondLanguage)) : 0;
}

std::vector<int> FrmMessCust1::moreWatched() const {
    std::vector<int> texts;
    if (const int language = chosenLanguage(); language > 0)
        for (int i = 0; i < 2 * kPiecesPerLine; ++i)
            texts.push_back(secondLanguageBlock(language) + i);
    return texts;
}

void FrmMessCust1::followLanguage() {
    if (chosenLanguage() == shownLanguage_) return;
    shownLanguage_ = chosenLanguage();
    rewatch(); // online the new texts come from the board
    if (!state().Online)
        for (int index : moreWatched())
            state().NotifyEditor(index, this);
}

// The scrolling, alternating and fixed texts of a line share its storage: the scrolling text and the fixed
// one start at its first piece, alternating message i is piece i.
void FrmMessCust1::addBoxes(int language, int line, const QString& scrolling, const QString& alternating,
                            const QString& fixed) {
    boxes_.push_back({scrolling, 0, language, line, Kind::Scrolling});
    for (int i = 0; i < 4; ++i)
        boxes_.push_back({alternating, i, language, line, Kind::Alternating});
    boxes_.push_back({fixed, 0, language, line, Kind::Fixed});
}

void FrmMessCust1::buildExtra() {
    addBoxes(1, 1, "Text3", "Text4", "Text5");
    addBoxes(1, 2, "Text6", "Text7", "Text8");
    addBoxes(2, 1, "Text10", "Text11", "Text12");
    addBoxes(2, 2, "Text13", "Text14", "Text15");
    for (std::size_t n = 0; n < boxes_.size(); ++n) {
        Box& box = boxes_[n];
        QWidget* container = page(box.language - 1);
        auto* edit = new CommitLineEdit(container);
        edit->setFlashMs(commitFlashMs());
        edit->setBlocked([this] { return isLoading(); });
        edit->setMaxLength(box.kind == Kind::Scrolling ? kPiece * kPiecesPerLine : kPiece);
        edit->setMinimumWidth(box.kind == Kind::Scrolling ? 520 : 160);
        edit->setFont(QFont(QStringLiteral("monospace")));
        edit->setEmptyOnFocus(false); // a message is edited, not typed anew: only number boxes empty
        registerControl(box.name, box.index, edit);
        connect(edit, &CommitLineEdit::commitRequested, this,
                [this, n](const QString& typed) { commit(boxes_[n], typed); });
        const QString caption = box.kind == Kind::Scrolling
                                    ? QStringLiteral("RIGA %1 Scorrevole").arg(box.line)
                                : box.kind == Kind::Fixed
                                    ? QStringLiteral("RIGA %1 Fisso").arg(box.line)
                                    : QStringLiteral("RIGA %1 Messaggio %2").arg(box.line).arg(box.index + 1);
        addRow(container, captionLabel(Caption(caption), container), edit);
        // A commit rewrites pieces of a line the box shows: the line, the count that sizes a scrolling text
        // and the second language that places it must have come from the board first.
        requireValues(edit, [this, language = box.language, line = box.line] {
            std::vector<int> reads = {kCount[0], param::SecondLanguage};
            const int first = language == 1   ? kFirstLanguage
                              : chosenLanguage() ? secondLanguageBlock(chosenLanguage())
                                                 : 0;
            for (int i = 0; first != 0 && i < kPiecesPerLine; ++i)
                reads.push_back(first + (line - 1) * kPiecesPerLine + i);
            return reads;
        });
        box.edit = edit;
    }
}

int FrmMessCust1::firstParam(const Box& box) const {
    const int lineStart = (box.line - 1) * kPiecesPerLine;
    if (box.language == 1) return kFirstLanguage + lineStart + box.index;
    if (!secondLanguageChosen(*this)) return 0;
    return secondLanguageBlock(static_cast<int>(currentValue(param::SecondLanguage))) + lineStart + box.index;
}

// The scrolling text of line 1 of the first language fills as many pieces as that line has messages; the
// line's storage holds four, so a larger count never reaches into line 2. Every other scrolling text fills
// all four pieces of its line.
int FrmMessCust1::pieces(const Box& box) const {
    if (box.kind != Kind::Scrolling) return 1;
    if (box.language == 2 || box.line == 2) return kPiecesPerLine;
    return std::clamp(static_cast<int>(currentValue(kCount[0])), 0, kPiecesPerLine);
}

void FrmMessCust1::commit(Box& box, const QString& typed) {
    if (isLoading() || isClosed()) return;
    const int first = firstParam(box);
    const QString bad = unshowable(typed);
    if (first == 0 || !bad.isEmpty()) {
        box.edit->rejectCommit();
        if (!bad.isEmpty())
            showError(QStringLiteral(
                          "The display cannot show the character \"%1\": use letters, digits, blanks and "
                          "the signs of the keyboard.")
                          .arg(bad));
        return;
    }
    const int n = pieces(box);
    if (n == 0) {
        box.edit->rejectCommit();
        showError(
            QStringLiteral("Set \"N°   Messaggi\" of RIGA 1 first: with 0 messages the line has no room for "
                           "a scrolling text."));
        return;
    }
    const QString text = typed.leftJustified(kPiece * n, QLatin1Char(' '), true);
    box.edit->setText(withoutTrailingBlanks(text)); // what the line keeps: the rest is dropped
    box.edit->acceptCommit();
    for (int i = 0; i < n; ++i)
        writeText(first + i, 0, text.mid(kPiece * i, kPiece));
}

// The board keeps the texts of languages 1..8 only: the block of a ninth would overwrite the final pauses.
bool FrmMessCust1::beforeWrite(const Binding& b, int& stored) {
    if (b.index != param::SecondLanguage || stored <= kLanguages) return true;
    showError(
        QStringLiteral("The board has room for the messages of second languages 1 to 8 only: choose one of "
                       "them, or 0 for no second language."));
    const bool wasLoading = std::exchange(loading_, true);
    if (auto* slider = qobject_cast<QAbstractSlider*>(control(b.control, b.controlIndex)))
        slider->setValue(static_cast<int>(currentValue(param::SecondLanguage)));
    loading_ = wasLoading;
    return false;
}

void FrmMessCust1::afterDelivery(int index, const ParamData& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        texts_[index] = QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size()));
    followLanguage();
    showBoxes();
}

// The second language or a message count changed: the boxes show what their storage now holds.
void FrmMessCust1::afterWrite(const Binding&, int) {
    followLanguage();
    showBoxes();
}

void FrmMessCust1::showBoxes() {
    for (Box& box : boxes_) {
        const int first = firstParam(box);
        QString text;
        for (int i = 0; first != 0 && i < pieces(box); ++i) {
            const auto it = texts_.find(first + i);
            text +=
                (it == texts_.end() ? QString() : it->second).leftJustified(kPiece, QLatin1Char(' '), true);
        }
        box.edit->showCommitted(withoutTrailingBlanks(text));
    }
}

} // namespace vm::editors
