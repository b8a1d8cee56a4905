#pragma once
// The shared base of every editor window. It does the editor conventions once: watches its parameters on
// load and releases them on close, sits in the open-form list while open, loads values offline in the
// declared order, dispatches deliveries by parameter index under the Loading guard, writes every change
// through the image routines (with the twin), runs the text-box commit, and sets its texts from the
// language table. An editor declares its controls as an EditorDefinition and adds code only for its own
// rules.

#include "Binding.h"
#include "Delivery.h"
#include "EditorContext.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTabWidget;

namespace vm::editors {

class CommitLineEdit;

// What a test or the main window needs to know of a binding.
struct BindingInfo {
    QString control;
    int controlIndex = 0;
    int index = 0;
    int mirror = 0;
    int width = 1; // 0 = text parameter
};

// The top-left corner of a window placed by CenterForm1, in pixels of the main window's client area.
QPoint centerForm1Position(QSize mainWindow, QSize form);

class EditorBase : public QWidget, public vm::DeliveryTarget {
    Q_OBJECT
public:
    ~EditorBase() override;

    QString formName() const { return definition_.formName; }
    EditorContext& context() { return ctx_; }

    // The control of an array element as the window names it, e.g. control("HScroll1", 8); nullptr if absent.
    QWidget* control(const QString& name, int index) const;
    // The value label beside a scroll bar.
    QLabel* valueLabel(const QString& scrollName, int index) const;
    const std::vector<Binding>& bindings() const { return definition_.bindings; }
    std::vector<BindingInfo> bindingInfo() const;
    // The parameters this window watches while open, in watch order.
    const std::vector<int>& watchedParams() const { return watched_; }

    // DeliveryTarget: a value of parameter `index` arrives (offline from NotifyEditor, online from the link).
    void deliver(int index, const ParamData& value) override;

    // Sets every caption again from the language table (InitMessaggi). The main window calls retranslate()
    // after a language switch; activation calls it too.
    void InitMessaggi();
    void retranslate() { InitMessaggi(); }
    // Places the window inside the main window (twips constants at 15 twips per pixel).
    void CenterForm1();

    bool isLoading() const { return loading_; }
    // Closes the window from its own code (Unload Me): the MDI sub-window that holds it, or the window
    // itself.
    void closeForm();
    // True once the window has closed (its parameters are released; it receives no more values).
    bool isClosed() const { return closed_; }

    // Windows that show one selection (key, product) at a time: bindings declared perSelection() move to
    // the selection's parameters. Changing it releases the old parameters, watches the new ones and shows
    // them (offline at once, online as they arrive).
    int selection() const { return selection_; }
    void setSelection(int selection);
    // The parameter and twin a binding addresses for the current selection.
    int paramOf(const Binding& b) const;
    int mirrorOf(const Binding& b) const;

    // Waiting / DeliveredCount: windows that need a complete set of values while connected count the
    // deliveries; waitingDone() runs when `expected` have arrived.
    void startWaiting(int expected);
    bool waiting() const { return waiting_; }
    int deliveredCount() const { return deliveredCount_; }

    // Duration of the green flash before a typed value is committed (tests set 0).
    static void setCommitFlashMs(int ms);
    static int commitFlashMs();

protected:
    EditorBase(EditorContext& ctx, QWidget* parent);

    // Builds the controls from the declaration, sets the texts, watches the parameters and loads the values.
    // The derived constructor calls it last, after its own members are ready.
    void setup(EditorDefinition definition);

    // --- hooks for an editor's own rules (called with Loading set where it says so) ---
    // Before the controls are built: add custom controls to pages or frames here.
    virtual void buildExtra() {}
    // After the bound controls of `index` were set from a delivery (Loading is set).
    virtual void afterDelivery(int /*index*/, const ParamData& /*value*/) {}
    // After a bound control was changed by the user and its value written (not called while Loading).
    virtual void afterWrite(const Binding& /*binding*/, int /*storedValue*/) {}
    // Before a bound control's value is written: return false to write nothing. May change the value.
    virtual bool beforeWrite(const Binding& /*binding*/, int& /*storedValue*/) { return true; }
    // After InitMessaggi set the declared captions.
    virtual void initMessaggiExtra() {}
    // When the window closes (Form_Unload), before its parameters are released.
    virtual void formUnload() {}
    // While connected, when the expected count of deliveries has arrived (see startWaiting).
    virtual void waitingDone() {}

    // --- helpers for editors ---
    // Writes a value through the image routine of the width (1..3 bytes), with the twin; offline the
    // refresh reaches this window's delivery handler.
    void writeParam(int index, int mirror, int width, std::uint32_t value);
    void writeText(int index, int mirror, const QString& text);
    // The current value of a parameter as this window shows it: the image offline, the cell online.
    double paramValue(int index) const;
    // The window's copy of a bit-field parameter (updated by deliveries and by bit switches).
    std::uint32_t bitCopy(int index) const;
    void setBitCopy(int index, std::uint32_t value) { bitCopies_[index] = value; }
    // Sets a bound control from a stored value (with Loading set, so nothing is written back).
    void showStored(const Binding& binding, const ParamData& value);
    // The window's count of money decimals; changing it re-formats every money label.
    int moneyDecimals() const { return moneyDecimals_; }
    void setMoneyDecimals(int decimals);

    QString msg(const Caption& c) const;
    // Registers a custom control under its array name and index (objectName "<name>_<index>").
    void registerControl(const QString& name, int index, QWidget* widget);
    // The container of a page or frame, to place custom controls in (a grid layout is set on it).
    QWidget* page(int tab) const;
    QGroupBox* frame(const QString& name) const;
    QTabWidget* tabs() const { return tabs_; }
    // Adds a custom control row (caption + widget) to a page or frame.
    void addRow(QWidget* container, QLabel* caption, QWidget* widget, QWidget* extra = nullptr);
    // A caption label whose text InitMessaggi keeps up to date.
    QLabel* captionLabel(const Caption& c, QWidget* parent = nullptr);
    // Any other text InitMessaggi keeps up to date (a button caption, a tab title...).
    void addText(const Caption& c, std::function<void(const QString&)> setter);
    // A critical message box with the window's title.
    void showError(const QString& text);
    // An information message box with the window's title.
    void showInfo(const QString& text);
    // A command button registered as name(index); the click runs unless values are being shown.
    QPushButton* addButton(const QString& name, int index, const Caption& caption, QWidget* container,
                           std::function<void()> onClick);

    // Confirmation of a destructive button: true unless the user answers No.
    bool confirm(const QString& buttonTitle);

    const EditorDefinition& definition() const { return definition_; }
    bool loading_ = false; // Loading: set while delivered values are shown

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private slots:
    void onUserPropertyChanged();

private:
    struct BoundControl {
        const Binding* binding = nullptr;
        QWidget* widget = nullptr;
        QLabel* label = nullptr; // scroll bars: the value label
        std::optional<double> lastStored;
        bool awaiting = false; // online: disabled until the first delivery
    };

    void buildControls();
    QWidget* makeControl(const Binding& b, QWidget* container);
    QWidget* containerFor(const Binding& b) const;
    void connectControl(BoundControl& bc);
    void onControlChanged(BoundControl& bc);
    void onCommit(BoundControl& bc, const QString& typed);
    void showValue(BoundControl& bc, const ParamData& value);
    void watchAll();
    void releaseAll();
    void loadOffline();
    void leaveFormList();
    void rebuildIndexTables();
    bool isOnVisibleTab(const Binding& b) const;
    void onTabChanged();
    std::uint32_t fieldOf(const Binding& b, int value) const;

    EditorContext& ctx_;
    EditorDefinition definition_;
    std::vector<BoundControl> bound_;
    std::multimap<int, std::size_t> byIndex_;  // parameter index -> bound_ positions
    std::multimap<int, std::size_t> byMirror_; // twin index -> bound_ positions (online deliveries)
    QHash<QString, QWidget*> controls_;        // "HScroll1_8" -> widget
    QHash<QString, QLabel*> valueLabels_;
    QHash<QWidget*, std::size_t> byWidget_;
    std::map<int, std::uint32_t> bitCopies_;
    std::map<QString, QButtonGroup*> optionGroups_;
    std::vector<std::pair<Caption, std::function<void(const QString&)>>> texts_;
    std::vector<int> watched_;
    QTabWidget* tabs_ = nullptr;
    std::vector<QWidget*> pages_;
    std::map<QString, QGroupBox*> frames_;
    QWidget* root_ = nullptr;
    int moneyDecimals_ = 0;
    int selection_ = 0;
    bool waiting_ = false;
    int expectedCount_ = 0;
    int deliveredCount_ = 0;
    bool closed_ = false;
    bool centred_ = false;
};

// Key of a control in the name table: "HScroll1_8".
QString controlKey(const QString& name, int index);

} // namespace vm::editors
