// Qt implementation of the dialog service.
#include "DialogService.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QPushButton>

namespace platform {
namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonRow {
    QMessageBox::StandardButton button;
    int answer;
    const char16_t* caption;
};

constexpr ButtonRow kButtons[] = {
    {QMessageBox::Ok, IdOk, u"确定"},
    {QMessageBox::Yes, IdYes, u"是(&Y)"},
    {QMessageBox::No, IdNo, u"否(&N)"},
    {QMessageBox::Cancel, IdCancel, u"取消"},
};

QMessageBox::StandardButtons qtButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

void prepare(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.title);
    const QStringList filters = QtDialogService::qtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.initialFolder.isEmpty()) dialog.setDirectory(request.initialFolder);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    QString suffix = request.defaultExtension;
    suffix.remove(QStringLiteral("*")).remove(QStringLiteral("."));
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
}

FileDialogResult run(QFileDialog& dialog) {
    FileDialogResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
    result.accepted = true;
    result.path = dialog.selectedFiles().front();
    result.filterIndex = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
    return result;
}

}  // namespace

QStringList QtDialogService::qtFilters(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns));
    }
    return filters;
}

QString QtDialogService::columnsHtml(const QString& text) {
    static const QRegularExpression lineEnds(QStringLiteral("[\\r\\n]+"));
    static const QRegularExpression cellGap(QStringLiteral(" {3,}"));
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const QString& line : text.split(lineEnds, Qt::SkipEmptyParts)) {
        const QStringList cells = line.trimmed().split(cellGap, Qt::SkipEmptyParts);
        if (cells.isEmpty()) continue;
        html += QStringLiteral("<tr>");
        if (cells.size() == 1) {
            const bool indented = line.startsWith(u' ');
            html += QStringLiteral("<td colspan=\"2\"%1>%2</td>")
                        .arg(indented ? QStringLiteral(" style=\"padding-left:2em\"") : QString(),
                             cells.front().toHtmlEscaped());
        } else {
            for (const QString& cell : cells)
                html += QStringLiteral("<td style=\"padding-left:1em\">%1</td>").arg(cell.toHtmlEscaped());
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

int QtDialogService::messageBox(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon,
                                MessageButtons buttons, MessageLayout layout) {
    QMessageBox box(qtIcon(icon), caption, text, qtButtons(buttons), parent);
    if (layout == MessageLayout::Columns) {
        box.setTextFormat(Qt::RichText);
        box.setText(columnsHtml(text));
    }
    for (const ButtonRow& row : kButtons)
        if (QAbstractButton* button = box.button(row.button)) button->setText(QString::fromUtf16(row.caption));
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const ButtonRow& row : kButtons)
        if (row.button == chosen) return row.answer;
    return buttons == MessageButtons::YesNo ? IdNo : IdCancel;
}

FileDialogResult QtDialogService::openFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    prepare(dialog, request);
    return run(dialog);
}

FileDialogResult QtDialogService::saveFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    prepare(dialog, request);
    return run(dialog);
}

std::optional<int> QtDialogService::askNumber(QWidget* parent, const NumberRequest& request) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(request.caption);
    dialog.setLabelText(request.label);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(request.minimum, request.maximum);
    dialog.setIntValue(request.value);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.intValue();
}

}  // namespace platform
