#include "widgets/Prompt.h"

#include "db/Settings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace torvm::ui {

namespace {

const QString& caption()
{
    static const QString text = QString::fromUtf8(kProgramName);
    return text;
}

constexpr auto kFolderSection = "Ordner";

const char* folderKey(FileRequest::LastFolder folder)
{
    switch (folder) {
    case FileRequest::LastFolder::Competitions:
        return "Wettkampf";
    case FileRequest::LastFolder::Exports:
        return "Ausgabe";
    case FileRequest::LastFolder::Imports:
        return "Import";
    case FileRequest::LastFolder::None:
        break;
    }
    return nullptr;
}

class DesktopPrompter final : public Prompter {
public:
    Reply message(QWidget* parent, MessageIcon icon, const QString& text, Buttons buttons) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(caption());
        box.setText(text);
        switch (icon) {
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::None:
            break;
        }
        if (buttons == Buttons::SaveAnywayCorrect) {
            QPushButton* save = box.addButton(QStringLiteral("Trotzdem speichern"), QMessageBox::AcceptRole);
            QPushButton* correct = box.addButton(QStringLiteral("Korrigieren"), QMessageBox::RejectRole);
            // Enter corrects: storing a questionable value takes a deliberate choice.
            box.setDefaultButton(correct);
            box.setEscapeButton(correct);
            box.exec();
            return box.clickedButton() == save ? Reply::Yes : Reply::No;
        }
        switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case Buttons::SaveAnywayCorrect:
            break;
        }
        const std::pair<QMessageBox::StandardButton, const char*> germanTexts[] = {{QMessageBox::Yes, "&Ja"},
                                                                                   {QMessageBox::No, "&Nein"},
                                                                                   {QMessageBox::Cancel, "Abbrechen"},
                                                                                   {QMessageBox::Ok, "OK"}};
        for (const auto& [button, label] : germanTexts) {
            if (QAbstractButton* b = box.button(button))
                b->setText(QString::fromUtf8(label));
        }
        switch (box.exec()) {
        case QMessageBox::Yes:
            return Reply::Yes;
        case QMessageBox::No:
            return Reply::No;
        case QMessageBox::Ok:
            return Reply::Ok;
        default:
            return Reply::Cancel;
        }
    }

    QString fileName(QWidget* parent, const FileRequest& request) override
    {
        QFileDialog dialog(parent, request.title, request.proposed, qtFilter(request.filter));
        dialog.setAcceptMode(request.kind == FileRequest::Kind::Save ? QFileDialog::AcceptSave
                                                                     : QFileDialog::AcceptOpen);
        switch (request.kind) {
        case FileRequest::Kind::Open:
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileRequest::Kind::Save:
            dialog.setFileMode(QFileDialog::AnyFile);
            break;
        case FileRequest::Kind::Folder:
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
        }
        if (!request.defaultSuffix.isEmpty())
            dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }

    void beep() override { QApplication::beep(); }
};

DesktopPrompter& desktop()
{
    static DesktopPrompter prompter;
    return prompter;
}

Prompter*& current()
{
    static Prompter* prompter = nullptr;
    return prompter;
}

Prompter& active()
{
    return current() ? *current() : desktop();
}

} // namespace

Prompter* setPrompter(Prompter* prompter)
{
    Prompter* previous = current();
    current() = prompter;
    return previous;
}

Reply message(QWidget* parent, MessageIcon icon, const QString& text, Buttons buttons)
{
    return active().message(parent, icon, text, buttons);
}

QString startingPoint(const FileRequest& request)
{
    const char* key = folderKey(request.lastFolder);
    QString folder =
        key ? profileString(QString::fromLatin1(kFolderSection), QString::fromLatin1(key), QString()) : QString();
    // A remembered folder that has gone (a removed stick) is no place to start.
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = request.defaultFolder;
    if (folder.isEmpty())
        return request.proposed;
    if (request.proposed.isEmpty())
        return folder;
    if (QFileInfo(request.proposed).isRelative() && !request.proposed.contains(QLatin1Char('/')))
        return QDir(folder).filePath(request.proposed);
    return request.proposed;
}

QString fileName(QWidget* parent, const FileRequest& request)
{
    FileRequest asked = request;
    asked.proposed = startingPoint(request);
    const QString chosen = active().fileName(parent, asked);
    if (const char* key = folderKey(request.lastFolder); key && !chosen.isEmpty())
        writeProfileString(QString::fromLatin1(kFolderSection), QString::fromLatin1(key),
                           request.kind == FileRequest::Kind::Folder ? chosen : QFileInfo(chosen).absolutePath());
    return chosen;
}

void beep()
{
    active().beep();
}

QString qtFilter(const QString& resourceFilter)
{
    QStringList parts = resourceFilter.split(QLatin1Char('|'));
    while (!parts.isEmpty() && parts.constLast().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the parentheses of the name, which the resources already carry.
        filters << parts.at(i);
    }
    return filters.join(QStringLiteral(";;"));
}

void installCoreMessageHandler()
{
    setMessageHandler(
        [](MessageIcon icon, const QString& text) { message(QApplication::activeWindow(), icon, text, Buttons::Ok); });
}

} // namespace torvm::ui
