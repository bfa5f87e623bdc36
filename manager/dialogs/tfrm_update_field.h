#pragma once
// The merge-code picker: a category, which fixes the keyword (lblPart1),
// and a value (edtFieldName), picked from the possible uses or typed. The
// composer builds the code from the two after OK.

#include <QDialog>

#include <memory>

class QListWidgetItem;
class QTreeWidget;

namespace Ui {
class TfrmUpdateField;
}

namespace manager {

class TfrmUpdateField : public QDialog {
    Q_OBJECT

public:
    explicit TfrmUpdateField(QWidget* parent = nullptr);
    ~TfrmUpdateField() override;

    Ui::TfrmUpdateField* ui() const { return ui_.get(); }
    QString Keyword() const;
    QString Value() const;

    void lstVCatagoryChange(QListWidgetItem* item);
    // A click or a released key in a possible-uses list.
    void lstVPosClick(QTreeWidget* list);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TfrmUpdateField> ui_;
};

}  // namespace manager
