#pragma once
// Shows a status log in a rich-text view, newest line on top: the view
// holds the log's newest lines only, however long the log grows. Lines
// reach the log (and its file) at once and the view in batches, shortly
// after they come while it is shown, and when it is shown: laying the
// document out once per batch, not once per line.

#include <QObject>
#include <QTextEdit>
#include <QTimer>

#include <string>
#include <vector>

#include "platform/status_log.h"

class StatusLogView : public QObject {
    Q_OBJECT

public:
    // `path` names the log's rich-text file ("" for a log kept in memory).
    StatusLogView(QTextEdit& edit, std::string path, QObject* parent = nullptr);

    platform::StatusLog& Log() { return log_; }
    // Opens the log (taking in what a killed run left) and shows its newest
    // lines. Throws platform::FileError.
    void Load();
    // One line on top of the log.
    void AddLine(const std::string& line);
    // Takes the journal into the file (see platform::StatusLog).
    void Save();
    void Close();
    // Brings the view up to date now.
    void Flush();
    // The newest lines as plain text, top first.
    std::vector<std::string> Lines() const { return log_.NewestPlainLines(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showAll();
    void insertOnTop(std::size_t count);
    void trim();

    QTextEdit& edit_;
    platform::StatusLog log_;
    QTimer flush_;
};
