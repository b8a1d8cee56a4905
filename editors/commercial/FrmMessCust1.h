#pragma once
// The texts the machine shows on the two lines of its display, in two languages, and how it shows them:
// not at all, scrolling, up to four in turn, or fixed.

#include "EditorBase.h"

#include <map>
#include <vector>

namespace vm::editors {

class CommitLineEdit;

class FrmMessCust1 : public EditorBase {
    Q_OBJECT
public:
    FrmMessCust1(EditorContext& ctx, QWidget* parent = nullptr);

    static constexpr int kPiece = 16; // characters of one text parameter
    // The first character the display cannot show, or an empty string when it can show them all.
    static QString unshowable(const QString& text);

protected:
    void buildExtra() override;
    void afterDelivery(int index, const ParamData& value) override;
    void afterWrite(const Binding& b, int stored) override;
    bool beforeWrite(const Binding& b, int& stored) override;

private:
    // A message box: where its text starts (a function of the window's state), how many pieces it fills.
    enum class Kind { Scrolling, Alternating, Fixed };
    struct Box {
        QString name;
        int index;
        int language; // 1 or 2
        int line;     // 1 or 2
        Kind kind;
        CommitLineEdit* edit = nullptr;
    };
    void addBoxes(int language, int line, const QString& scrolling, const QString& alternating,
                  const QString& fixed);
    int firstParam(const Box& box) const; // 0: no storage (no second language chosen)
    int pieces(const Box& box) const;
    void commit(Box& box, const QString& typed);
    void showBoxes();

    std::vector<Box> boxes_;
    std::map<int, QString> texts_; // the text parameters as delivered
};

} // namespace vm::editors
