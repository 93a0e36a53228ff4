#include "widgets/DialogButtons.h"

#include "widgets/EnterMovesFocus.h"
#include "widgets/Prompt.h"

#include <QBoxLayout>
#include <QDialog>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

namespace torvm::ui {

namespace {

// Buttons that show only arrows say in words what they do.
const std::pair<const char*, const char*> kArrowTips[] = {
    {"previous", "Zurück zum vorigen Eintrag (speichert den angezeigten)"},
    {"next", "Weiter zum nächsten Eintrag (speichert den angezeigten)"},
    {"first", "Die erste vergebene Nummer vorschlagen"},
    {"last", "Die letzte vergebene Nummer vorschlagen"},
    {"open", "Den Eintrag mit dieser Nummer bearbeiten"},
};

bool hasLetters(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

} // namespace

QPushButton* makeButton(QWidget* parent, const char* text, const char* objectName)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(objectName));
    enterPresses(button);
    if (!hasLetters(button->text())) {
        for (const auto& [name, tip] : kArrowTips) {
            if (qstrcmp(name, objectName) == 0)
                button->setToolTip(QString::fromUtf8(tip));
        }
    }
    return button;
}

QPushButton* addButton(QBoxLayout* row, QWidget* parent, const char* text, const char* objectName)
{
    QPushButton* button = makeButton(parent, text, objectName);
    row->addWidget(button);
    return button;
}

void showReadOnly(QLineEdit* field)
{
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
}

void addOkCancelRow(QDialog* dialog, QBoxLayout* layout)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* ok = addButton(row, dialog, "OK", "ok");
    ok->setDefault(true);
    QPushButton* cancel = addButton(row, dialog, "Abbrechen", "cancel");
    layout->addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

bool mayDropChanges(QDialog* dialog, bool modified)
{
    if (!modified)
        return true;
    switch (message(dialog, MessageIcon::Question, QString::fromUtf8(kStrSaveChanges), Buttons::YesNoCancel)) {
    case Reply::Yes:
        dialog->accept();
        return false;
    case Reply::Cancel:
        return false;
    default:
        return true;
    }
}

} // namespace torvm::ui
