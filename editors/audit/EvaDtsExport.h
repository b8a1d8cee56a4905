#pragma once
// "Export EVA-DTS" of the sales views and of the Dati menu: asks for the file, reads every value of the report
// from the board (watched until each has been read once; values already read are taken as they are), then
// writes the report through the one builder the command line uses. A progress dialog shows how far the
// reading is and can cancel it; nothing is written when it is cancelled or the board goes offline.

#include "Delivery.h"
#include "EditorContext.h"
#include "WatchSet.h"

#include <QObject>
#include <QPointer>

#include <set>
#include <vector>

class QProgressDialog;
class QTimer;

namespace vm::editors {

// Starts an export on behalf of `parent` (a view or the main window), which owns it while it reads.
void ExportEvaDts(EditorContext& ctx, QWidget* parent);

class EvaDtsExport : public QObject, public DeliveryTarget {
    Q_OBJECT
public:
    EvaDtsExport(EditorContext& ctx, QString path, QWidget* parent);
    ~EvaDtsExport() override;

    void deliver(int index, const ParamData& value) override;

private:
    void check();
    void finish(const QString& error);
    void release();

    EditorContext& ctx_;
    QString path_;
    QWidget* parentWidget_;
    std::vector<int> params_;
    std::set<int> unread_;
    WatchSet watch_;
    bool watching_ = false;
    QPointer<QProgressDialog> progress_;
    QTimer* onlineCheck_ = nullptr;
};

} // namespace vm::editors
