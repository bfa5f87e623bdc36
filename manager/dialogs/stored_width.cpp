#include "manager/dialogs/stored_width.h"

#include <QComboBox>
#include <QLineEdit>

namespace manager {

namespace {

qsizetype bytesOf(const QString& text) { return text.toUtf8().size(); }

// The length of the character that ends at `end` (a surrogate pair is one).
int characterBefore(const QString& text, qsizetype end)
{
    return end >= 2 && text.at(end - 1).isLowSurrogate() && text.at(end - 2).isHighSurrogate() ? 2 : 1;
}

}  // namespace

StoredWidthValidator::StoredWidthValidator(int width, QObject* parent) : QValidator(parent), width_(width) {}

QValidator::State StoredWidthValidator::validate(QString& input, int& pos) const
{
    while (!input.isEmpty() && bytesOf(input) > width_) {
        // What was typed or pasted lies before the cursor; a text set whole
        // loses its end.
        const qsizetype end = pos > 0 ? pos : input.size();
        const int length = characterBefore(input, end);
        input.remove(end - length, length);
        if (pos > 0)
            pos -= length;
    }
    return Acceptable;
}

void LimitToStoredWidth(QLineEdit& field, int width) { field.setValidator(new StoredWidthValidator(width, &field)); }

void LimitToStoredWidth(QComboBox& box, int width)
{
    if (QLineEdit* field = box.lineEdit())
        LimitToStoredWidth(*field, width);
}

StoredWidthDelegate::StoredWidthDelegate(std::function<int(const QModelIndex&)> widthOf, QObject* parent)
    : QStyledItemDelegate(parent), widthOf_(std::move(widthOf))
{
}

QWidget* StoredWidthDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    const int width = widthOf_ ? widthOf_(index) : 0;
    if (auto* field = qobject_cast<QLineEdit*>(editor); field && width > 0)
        LimitToStoredWidth(*field, width);
    return editor;
}

}  // namespace manager
