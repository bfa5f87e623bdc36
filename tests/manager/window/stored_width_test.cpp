// A field that stops at the bytes its table field holds: what does not fit
// is what was just typed or pasted, never the text around it, and never
// half a character.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include "manager/dialogs/stored_width.h"

namespace managertest {
namespace {

using manager::LimitToStoredWidth;

QString q(const char* text) { return QString::fromUtf8(text); }

TEST(StoredWidth, APasteInsideKeepsItsStartAndEverythingAroundIt)
{
    QLineEdit field(q("abcdef"));
    LimitToStoredWidth(field, 10);
    field.setCursorPosition(3);
    field.insert(q("ÄÖÜÄÖÜ"));
    EXPECT_EQ(field.text(), q("abcÄÖdef"));
    EXPECT_EQ(field.cursorPosition(), 5);
    // Full: a further key is not taken, wherever the cursor stands.
    field.setCursorPosition(1);
    field.insert(q("x"));
    EXPECT_EQ(field.text(), q("abcÄÖdef"));
    EXPECT_EQ(field.cursorPosition(), 1);
    // A paste is cut where its first character does not fit.
    field.setText(q("abcÄÖde"));
    field.end(false);
    field.insert(q("zÜy"));
    EXPECT_EQ(field.text(), q("abcÄÖdez"));
}

TEST(StoredWidth, ACharacterOutsideTheBasicPlaneIsKeptOrDroppedWhole)
{
    QLineEdit field;
    LimitToStoredWidth(field, 7);
    field.insert(q("ab😀😀"));
    EXPECT_EQ(field.text(), q("ab😀"));
    EXPECT_EQ(field.text().toUtf8().size(), 6);
    field.insert(q("c"));
    EXPECT_EQ(field.text(), q("ab😀c"));
}

TEST(StoredWidth, ATextSetWholeLosesItsEnd)
{
    QLineEdit field;
    LimitToStoredWidth(field, 5);
    field.setText(q("ÄÖÜab"));
    EXPECT_EQ(field.text(), q("ÄÖ"));
    QComboBox box;
    box.setEditable(true);
    LimitToStoredWidth(box, 4);
    box.setEditText(q("Łódź"));
    EXPECT_EQ(box.currentText(), q("Łó"));
}

TEST(StoredWidth, AnItemRenamedInPlaceStopsAtTheWidthItsRowGives)
{
    // The editor of each item, typed into.
    const auto renamed = [](const char* name) {
        QTreeWidget tree;
        auto* item = new QTreeWidgetItem(&tree, QStringList{QString::fromLatin1(name)});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        tree.setItemDelegate(new manager::StoredWidthDelegate(
            [](const QModelIndex& index) { return index.data().toString() == QLatin1String("narrow") ? 4 : 0; },
            &tree));
        tree.show();
        tree.editItem(item, 0);
        auto* editor = tree.findChild<QLineEdit*>();
        if (!editor)
            return QStringLiteral("<no editor>");
        editor->setText(q("éééé"));
        return editor->text();
    };
    EXPECT_EQ(renamed("narrow"), q("éé"));
    EXPECT_EQ(renamed("wide"), q("éééé")) << "no width, no limit";
}

}  // namespace
}  // namespace managertest
