#include "masterdata/ui/KlasseDlg.h"

#include "controls/ui/MaskEdit.h"
#include "document/TorvmDoc.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace torvm::ui {

const QStringList& CKlasseDlg::genderTexts()
{
    static const QStringList texts{QStringLiteral("ohne Unterteilung"), QStringLiteral("männlich"),
                                   QStringLiteral("weiblich")};
    return texts;
}

CKlasseDlg::CKlasseDlg(CTorvmDoc& doc, QWidget* parent)
    : QDialog(parent)
    , m_table(doc.GetDatabase(), &doc)
{
    setWindowTitle(QStringLiteral("Klasseneinteilung"));
    if (!m_table.OpenTable() || !loadClassRows(m_table, m_rows))
        m_rows.fill(ClassRow{});

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int column = 1;
    for (const char* heading : {"Name", "von", "bis", "gesch."})
        grid->addWidget(new QLabel(QString::fromUtf8(heading), this), 0, column++);
    for (int r = 1; r <= kClassCount; ++r) {
        const ClassRow& row = m_rows[r];
        RowWidgets& w = m_widgets[r];
        w.name = new QLineEdit(this);
        w.name->setObjectName(QStringLiteral("name%1").arg(r));
        w.name->setMinimumWidth(180);
        w.von = new CDateEdit(this, MissingDate::Blank);
        w.von->setObjectName(QStringLiteral("von%1").arg(r));
        w.bis = new CDateEdit(this, MissingDate::Blank);
        w.bis->setObjectName(QStringLiteral("bis%1").arg(r));
        w.gender = new QComboBox(this);
        w.gender->setObjectName(QStringLiteral("gender%1").arg(r));
        w.gender->setEditable(true);
        w.gender->setInsertPolicy(QComboBox::NoInsert);
        w.gender->addItems(genderTexts());
        if (row.present) {
            w.name->setText(row.name);
            w.von->set(row.von);
            w.bis->set(row.bis);
            w.gender->setCurrentIndex(row.geschlecht >= 0 && row.geschlecht < w.gender->count() ? row.geschlecht : -1);
        } else {
            // Without its record the row cannot be stored; it is shown empty and left alone.
            w.gender->setCurrentIndex(-1);
            for (QWidget* field : {static_cast<QWidget*>(w.name), static_cast<QWidget*>(w.von),
                                   static_cast<QWidget*>(w.bis), static_cast<QWidget*>(w.gender)})
                field->setEnabled(false);
        }
        grid->addWidget(new QLabel(QString::number(r), this), r, 0);
        grid->addWidget(w.name, r, 1);
        grid->addWidget(w.von, r, 2);
        grid->addWidget(w.bis, r, 3);
        grid->addWidget(w.gender, r, 4);
    }
    layout->addLayout(grid);

    addOkCancelRow(this, layout);
}

void CKlasseDlg::accept()
{
    ClassRows rows = m_rows;
    for (int r = 1; r <= kClassCount; ++r) {
        if (!rows[r].present)
            continue;
        const RowWidgets& w = m_widgets[r];
        rows[r].name = w.name->text();
        for (auto [edit, value] : {std::pair{w.von, &rows[r].von}, std::pair{w.bis, &rows[r].bis}}) {
            // Untouched, a bound stays as the file held it. A class needs no bounds: the class
            // assignment passes over a class without them, so an empty field is stored as none.
            if (!edit->isModified())
                continue;
            *value = edit->get();
            if (value->status() == DateTime::Status::Invalid) {
                message(this, MessageIcon::Exclamation, QStringLiteral("Geben Sie bitte ein gültiges Datum ein."));
                edit->setFocus();
                return;
            }
        }
        // Only a text from the list is a gender division; anything else typed there is none.
        rows[r].geschlecht = genderTexts().indexOf(w.gender->currentText());
    }
    if (m_table.IsOpen())
        storeClassRows(m_table, rows);
    m_table.Close();
    QDialog::accept();
}

} // namespace torvm::ui
