// The listing window.
#include "Unit4.h"

#include "FixedFont.h"

#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace asmora::build {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form4"));
    resize(696, 480);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFont(fixedsysFont(16));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette colours = Memo1->palette();
    colours.setColor(QPalette::Text, Qt::black);
    Memo1->setPalette(colours);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

void TForm4::setListing(const QString& caption, const QStringList& lines) {
    setWindowTitle(caption);
    Memo1->clear();
    Memo1->setPlainText(lines.join(u'\n'));
}

void TForm4::showModally() {
    if (const QScreen* where = screen()) move(where->availableGeometry().center() - rect().center());
    exec();
}

}  // namespace asmora::build
