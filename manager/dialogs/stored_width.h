#pragma once
// Text fields that stop at what their table field holds, counted as the
// table counts: in UTF-8 bytes, so "Łódź" takes seven of them. A character
// that would not fit is not taken in, and a paste keeps what fits, so what
// the field shows is what is stored and OK never refuses the length.

#include <QStyledItemDelegate>
#include <QValidator>

#include <functional>

class QComboBox;
class QLineEdit;

namespace manager {

class StoredWidthValidator : public QValidator {
    Q_OBJECT

public:
    StoredWidthValidator(int width, QObject* parent);
    // Drops what was just put in before the cursor until the text fits,
    // whole characters at a time; never refuses.
    State validate(QString& input, int& pos) const override;

private:
    int width_;
};

void LimitToStoredWidth(QLineEdit& field, int width);
// An editable drop-down list's own text field.
void LimitToStoredWidth(QComboBox& box, int width);

// An item view whose labels are renamed in place: the editor of an item
// stops at the width `widthOf` gives for it (0: no limit).
class StoredWidthDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    StoredWidthDelegate(std::function<int(const QModelIndex&)> widthOf, QObject* parent);
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

private:
    std::function<int(const QModelIndex&)> widthOf_;
};

}  // namespace manager
