#pragma once
// The manager's status window: a small always-on-top tool window with the
// error counters and last messages, folding its rich-text log away. Its Tag
// says whether the details are open (2) or folded (0); the details toggle
// follows that state, whatever height a window manager gives the window.

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "manager/core/status_log.h"

class StatusLogView;

namespace Ui {
class TfrmStatus;
}

namespace manager {

class TfrmStatus : public QWidget, public LogView {
    Q_OBJECT

public:
    explicit TfrmStatus(QWidget* parent = nullptr);
    ~TfrmStatus() override;

    Ui::TfrmStatus* ui() const { return ui_.get(); }

    static constexpr int kFoldedHeight = 289;
    static constexpr int kOpenHeight = 440;
    static constexpr int kDetailsOpen = 2;

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    bool DetailsOpen() const { return tag_ == kDetailsOpen; }

    // "Details >>" / "Hide Details <<".
    void btnDetailsClick();
    // Either Close button and Escape: hidden, the details state kept.
    void btnCloseClick();
    // The error handler: shown on top with the log open.
    void ShowWithDetails();

    // What the error handler and the log routine fill in.
    void SetErrorCount(int count);
    void SetLastError(const std::string& message);
    void SetLastProcessorMessage(const std::string& text);

    // LogView: a line on top of REStatus, through the programs' shared log
    // view (kept in memory: the manager's log lasts for the run).
    void InsertTopLine(const std::string& line) override;
    // The log, top line first.
    std::vector<std::string> LogLines() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setDetails(bool open);

    std::unique_ptr<Ui::TfrmStatus> ui_;
    StatusLogView* logView_;
    int tag_ = 0;
};

}  // namespace manager
