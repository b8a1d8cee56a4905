#pragma once
// The shared base of every editor window. It does the editor conventions once: watches its parameters on
// load and releases them on close, sits in the open-form list while open, loads values offline in the
// declared order, dispatches deliveries by parameter index under the Loading guard, evaluates the declared
// enabling and visibility rules, writes every change through the image routines (with the twin), runs the
// text-box commit, and sets its texts from the language table. A window declares its controls as an
// EditorDefinition and adds code only for its own rules.

#include "ControlAdapter.h"
#include "Delivery.h"
#include "EditorContext.h"
#include "EditorDefinition.h"
#include "EditorTexts.h"

#include "WatchSet.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace vm::editors {

// What a test or the main window needs to know of a binding.
struct BindingInfo {
    QString control;
    int controlIndex = 0;
    int index = 0;
    int mirror = 0;
    int width = 1; // 0 = text parameter
    QString toolTip; // as the user sees it
};

// The top-left corner of a window placed by CenterForm1, in pixels of the main window's client area.
QPoint centerForm1Position(QSize mainWindow, QSize form);
// Key of a control in the name table: "HScroll1_8".
QString controlKey(const QString& name, int index);

class EditorBase : public QWidget, public vm::DeliveryTarget {
    Q_OBJECT
public:
    ~EditorBase() override;

    QString formName() const { return definition_.formName; }
    EditorContext& context() { return ctx_; }
    const ProgramState& state() const { return ctx_.state; }

    // The control of an array element as the window names it, e.g. control("HScroll1", 8); nullptr if absent.
    QWidget* control(const QString& name, int index) const;
    // The keys of every named control ("HScroll1_8"), bound or the window's own.
    QStringList controlKeys() const { return controls_.keys(); }
    // The value label beside a scroll bar.
    QLabel* valueLabel(const QString& scrollName, int index) const;
    std::vector<BindingInfo> bindingInfo() const;
    // The parameters this window watches while open, in watch order.
    const std::vector<int>& watchedParams() const { return watch_.params(); }

    // DeliveryTarget: a value of parameter `index` arrives (offline from NotifyEditor, online from the link).
    void deliver(int index, const ParamData& value) override;

    // Sets every caption again from the language table (activation and language switches call it).
    void retranslate();
    // Places the window inside the main window (twips constants at 15 twips per pixel).
    void CenterForm1();
    // Shows the configuration again from the start: after Load or New the image changed under the window.
    void reload();

    // Releases the window's set and watches it again (live views do it on a timer), without letting a
    // parameter go unwatched in between.
    void rewatch();
    // The value labels of the visible page and of the window as CSV rows: group (frame or page), item,
    // parameter, value; and their header.
    static QStringList shownHeader();
    std::vector<QStringList> shownRows() const;

    bool isLoading() const { return loading_; }
    // Loading for the scope's lifetime: controls set inside it write nothing back. Restores the previous state.
    class LoadingScope {
    public:
        explicit LoadingScope(EditorBase& e) : flag_(e.loading_), previous_(e.loading_) { flag_ = true; }
        ~LoadingScope() { flag_ = previous_; }
        LoadingScope(const LoadingScope&) = delete;
        LoadingScope& operator=(const LoadingScope&) = delete;

    private:
        bool& flag_;
        bool previous_;
    };
    // Closes the window from its own code (Unload Me): the MDI sub-window that holds it, or the window.
    void closeForm();
    // True once the window has closed (its parameters are released; it receives no more values).
    bool isClosed() const { return closed_; }

    // Windows that show one selection (key, product) at a time: bindings declared perSelection() move to
    // the selection's parameters (the old ones released, the new ones watched and shown).
    int selection() const { return selection_; }
    void setSelection(int selection);
    // Bindings placed by a locator follow a change of the state it reads (coupling type, unit...).
    void relocate();

    // DisableTable until EnableTable: connected, a window that needs a complete set of values locks its pages
    // until the board has delivered `deliveries` values; then the pages' own rules decide again.
    void lockPagesUntilDelivered(int deliveries);
    bool pagesLocked() const { return deliveriesToUnlock_ > 0; }

    // Whether the value of `index` is known to the window: offline always (the image holds it), online once
    // the board delivered it since the window opened (or since the window moved to it). A control whose write
    // carries a value the window does not know yet stays disabled.
    bool hasArrived(int index) const;
    bool haveArrived(const std::vector<int>& indexes) const;
    // The tool tip of a control that waits for the board's values.
    static QString waitingToolTip();

    // The current value of a parameter as this window shows it: the image offline, the cell online.
    double paramValue(int index) const;
    // The window's copy of a bit-field parameter (updated by deliveries and by bit switches).
    std::uint32_t bitCopy(int index) const;
    // The copy when the window keeps one, the parameter's value otherwise (what rules read).
    std::uint32_t currentValue(int index) const;
    // Evaluates every declared enabling and visibility rule (after each delivery and write).
    void applyRules();

    // Duration of the green flash before a typed value is committed (tests set 0).
    static void setCommitFlashMs(int ms);
    static int commitFlashMs();
    // How long a window waits in real time for the board to answer a command or acknowledge a write (five
    // reply time-outs of the link). Tests whose board runs on a hand-driven clock lengthen it.
    static void setBoardAnswerLimitMs(int ms);
    static int boardAnswerLimitMs();

protected:
    EditorBase(EditorContext& ctx, QWidget* parent);

    // Builds the controls from the declaration, sets the texts, watches the parameters and loads the values.
    // The derived constructor calls it last, after its own members are ready.
    void setup(EditorDefinition definition);

    // --- hooks for a window's own rules ---
    virtual void buildExtra() {}                                        // custom controls, before loading
    virtual void afterDelivery(int /*index*/, const ParamData& /*v*/) {} // Loading is set
    virtual bool beforeWrite(const Binding& /*b*/, int& /*stored*/) { return true; } // false: write nothing
    virtual void afterWrite(const Binding& /*b*/, int /*stored*/) {}
    virtual void initMessaggiExtra() {}
    virtual void formUnload() {}   // Form_Unload, before the parameters are released
    virtual void rulesApplied() {} // after the declared rules were evaluated (paint what they decided)
    // Parameters watched besides the declared ones that follow the window's state; rewatch() after it changed.
    virtual std::vector<int> moreWatched() const { return {}; }

    // --- helpers ---
    // Writes through the image routine of the width (1..3 bytes), with the twin; offline the refresh reaches
    // this window's delivery handler.
    void writeParam(int index, int mirror, int width, std::uint32_t value);
    // The same with the parameter's own width and twin from the catalogue.
    void writeParam(int index, std::uint32_t value);
    void writeText(int index, int mirror, const QString& text);
    void setBitCopy(int index, std::uint32_t value) { bitCopies_[index] = value; }
    int moneyDecimals() const { return moneyDecimals_; }
    void setMoneyDecimals(int decimals);
    // The parameter and twin a binding addresses for the window's current state.
    int paramOf(const Binding& b) const;
    int mirrorOf(const Binding& b) const;

    QString msg(const Caption& c) const { return texts_.text(c); }
    // Registers a custom control under its array name and index (objectName "<name>_<index>").
    void registerControl(const QString& name, int index, QWidget* widget);
    // The container of a page (-1: the window) or frame, to place custom controls in.
    QWidget* page(int tab) const;
    QGroupBox* frame(const QString& name) const;
    QTabWidget* tabs() const { return tabs_; }
    // Adds a row (caption, widget, extra) to a page or frame.
    void addRow(QWidget* container, QLabel* caption, QWidget* widget, QWidget* extra = nullptr);
    QLabel* captionLabel(const Caption& c, QWidget* parent = nullptr);
    void addText(const Caption& c, std::function<void(const QString&)> setter) { texts_.add(c, std::move(setter)); }
    void showError(const QString& text);
    void showInfo(const QString& text);
    // A command button with its own handler; the click runs unless values are being shown.
    QPushButton* addButton(const QString& name, int index, const Caption& caption, QWidget* container,
                           std::function<void()> onClick);
    // Confirmation of a destructive button: true unless the user answers No.
    bool confirm(const QString& buttonTitle);
    // Runs `tick` every `ms` while the window is open (live views that re-read or re-watch).
    void everyMs(int ms, std::function<void()> tick);
    // A file chosen by the user through the main window's dialogs; empty when cancelled.
    QString chooseFile(bool save, const QString& title, const QString& filter, const QString& suggested = {});

    // Asks for a file and writes the rows there as CSV (header first); false when cancelled or not written
    // (the reason is shown). Views export their shown rows; other windows pass their own table.
    bool exportCsv(const QStringList& header, const std::vector<QStringList>& rows, const QString& suggested = {});
    // An "Export CSV" button (cmdExport) in the container and the same entry in the window's context menu,
    // both exporting shownRows().
    void addExportButton(QWidget* container);

    // A control of the window's own (or an action) whose write is built from these parameters: online it stays
    // disabled, with the waiting tool tip, until each has arrived; from then on its enabling is the window's.
    void requireValues(QObject* control, std::vector<int> params);
    // The same for a control whose parameters follow the window's state (asked again at each check).
    void requireValues(QObject* control, std::function<std::vector<int>()> params);
    // The window watches these again and waits for their values (a page of its own was shown again).
    void forgetArrivals(const std::vector<int>& indexes);

    const EditorDefinition& definition() const { return definition_; }
    bool loading_ = false; // Loading: set while delivered values are shown

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // layout (EditorLayout.cpp)
    void buildControls();
    QWidget* containerFor(const Binding& b) const;
    void makeFrame(const QString& name);
    void finishLayout();
    Binding resolved(Binding b) const;
    // writing (EditorWrites.cpp)
    void onUserChange(std::size_t bound, const QString& typed);
    void onCommit(BoundControl& bc, const QString& typed);
    // Writes what a control chose through the window's rules; the value written, or nothing when refused.
    std::optional<int> writeChosen(BoundControl& bc, int chosen);
    // The control's own write hook, then the window's rule; false: nothing is written.
    bool admitWrite(const Binding& b, int& stored);
    void wrote(const Binding& b, int stored);
    std::uint32_t withField(const Binding& b, int param, int value) const;
    void holdUntilAcknowledged(BoundControl& bc);
    void releaseAcknowledged(int index);
    // defaults (DefaultMarks.cpp)
    void buildResetEntries();
    void showControlMenu(QWidget* widget, const QPoint& at);
    QString shownText(const BoundControl& bc, const ParamData& value) const;
    void showDefaultMark(BoundControl& bc, const ParamData& value);
    void paintDefaultMark(BoundControl& bc);
    void applyDefaultMarks();
    void resetToDefault(BoundControl& bc, bool whenUsable = true);
    void resetWindowToDefaults();
    // values
    void showValue(BoundControl& bc, const ParamData& value);
    void loadOffline();
    void loadNotified(const std::vector<int>& order);
    void rebuildIndexTables();
    // watching and arrivals (EditorWatch.cpp)
    std::vector<int> watchList() const;
    void watchAll();
    void releaseAll();
    bool isOnVisibleTab(const Binding& b) const;
    void showKnownValues();
    void awaitValues(const std::function<bool(const BoundControl&)>& which);
    void markArrived(int index);
    bool isReady(const BoundControl& bc) const;
    void refreshUsable(BoundControl& bc);
    static QString toolTipFor(const BoundControl& bc);
    void applyGuards(bool becameReady);
    void onTabChanged();
    void leave();

    EditorContext& ctx_;
    EditorTexts texts_;
    EditorDefinition definition_;
    std::vector<BoundControl> bound_;
    std::multimap<int, std::size_t> byIndex_;  // parameter index -> bound_ positions
    std::multimap<int, std::size_t> byMirror_; // twin index -> bound_ positions (online deliveries)
    std::multimap<int, std::size_t> byRead_;   // parameter index -> bound_ positions whose write reads it
    QHash<QString, QWidget*> controls_;        // "HScroll1_8" -> widget
    QHash<QString, QLabel*> valueLabels_;
    std::map<int, std::uint32_t> bitCopies_;
    WatchSet watch_; // the parameters watched while the window is open
    QTabWidget* tabs_ = nullptr;
    std::vector<QWidget*> pages_;
    std::map<QString, QGroupBox*> frames_;
    QWidget* root_ = nullptr;
    int moneyDecimals_ = 0;
    int selection_ = 0;
    int deliveriesToUnlock_ = 0; // connected: deliveries still to come before the pages unlock
    bool closed_ = false;
    bool centred_ = false;
    bool batch_ = false; // loading a set of values: the rules wait for its end
    std::vector<std::size_t> ruled_; // bound_ positions with an enabling or visibility rule
    std::vector<bool> arrived_;      // online: parameter index -> delivered since the window opened
    struct Guard {
        QPointer<QObject> control;
        std::function<std::vector<int>()> params;
        bool ready = false;
        QString toolTip; // its own tool tip, given back when it is ready
    };
    std::vector<Guard> guards_;
    std::map<int, QPointer<QWidget>> held_; // command cell -> button held until the board acknowledged it
    QAction* resetWindow_ = nullptr;        // "Reset this window to defaults"
};

} // namespace vm::editors
