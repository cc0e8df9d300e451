#include "finddialog.h"

#include "said.h"

#include "notice.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
template <typename W> W *named(W *widget, const QString &name)
{
    widget->setAccessibleName(name);
    return widget;
}
} // namespace

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent), m_what(new QLineEdit(this)),
      m_replaceLabel(new QLabel(tr("Replace &with:"), this)), m_with(new QLineEdit(this)),
      m_matchCase(new QCheckBox(tr("Match &case"), this)),
      m_wholeWords(new QCheckBox(tr("W&hole words"), this)),
      m_next(new QPushButton(tr("&Find next"), this)),
      m_previous(new QPushButton(tr("Find &previous"), this)),
      m_replace(new QPushButton(tr("&Replace"), this)),
      m_replaceAll(new QPushButton(tr("Replace &all"), this)),
      m_close(new QPushButton(tr("Close"), this)), m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("Find"));
    setModal(false);
    named(m_what, tr("Find what"));
    named(m_with, tr("Replace with"));
    named(m_matchCase, tr("Match case"));
    named(m_wholeWords, tr("Whole words"));
    named(m_next, tr("Find next"));
    named(m_previous, tr("Find previous"));
    named(m_replace, tr("Replace"));
    named(m_replaceAll, tr("Replace all"));
    named(m_close, tr("Close"));
    // Read out as the notice is: its text is its name, spoken when it changes.
    // Nothing to hear until there is something to say.
    Notice::announce(m_message);
    m_message->hide();
    m_message->setTextFormat(Qt::PlainText);
    m_message->setMinimumWidth(260);
    m_message->setWordWrap(true);
    // Room for two lines, so that a message never changes the window's size.
    m_message->setMinimumHeight(2 * m_message->fontMetrics().lineSpacing());
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *whatLabel = new QLabel(tr("Fi&nd what:"), this);
    whatLabel->setBuddy(m_what);
    m_replaceLabel->setBuddy(m_with);
    auto *fields = new QGridLayout;
    fields->addWidget(whatLabel, 0, 0);
    fields->addWidget(m_what, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(m_with, 1, 1);
    fields->addWidget(m_matchCase, 2, 1);
    fields->addWidget(m_wholeWords, 3, 1);
    fields->addWidget(m_message, 4, 0, 1, 2);
    fields->setRowStretch(5, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {m_next, m_previous, m_replace, m_replaceAll, m_close})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Enter is Find next, wherever the focus is.
    m_next->setDefault(true);
    for (QPushButton *b : {m_previous, m_replace, m_replaceAll, m_close})
        b->setAutoDefault(false);
    setTabOrder(m_what, m_with);
    setTabOrder(m_with, m_matchCase);
    setTabOrder(m_matchCase, m_wholeWords);
    setTabOrder(m_wholeWords, m_next);
    setTabOrder(m_next, m_previous);
    setTabOrder(m_previous, m_replace);
    setTabOrder(m_replace, m_replaceAll);
    setTabOrder(m_replaceAll, m_close);

    connect(m_next, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(m_previous, &QPushButton::clicked, this, &FindDialog::findPrevious);
    connect(m_replace, &QPushButton::clicked, this, &FindDialog::replace);
    connect(m_replaceAll, &QPushButton::clicked, this, &FindDialog::replaceAll);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    // What was said of an earlier needle does not stand for an empty one.
    connect(m_what, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            Notice::showAnew(m_message, QString());
    });
}

void FindDialog::showFor(bool replacing, const QString &text)
{
    setWindowTitle(replacing ? said(Message::ReplaceTitle) : said(Message::FindTitle));
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_replaceLabel, m_with, m_replace, m_replaceAll})
        w->setVisible(replacing);
    if (!text.isEmpty())
        m_what->setText(text);
    Notice::showAnew(m_message, QString());
    show();
    raise();
    activateWindow();
    m_what->setFocus();
    m_what->selectAll();
}

QString FindDialog::needle() const
{
    return m_what->text();
}

QString FindDialog::replacement() const
{
    return m_with->text();
}

FindOptions FindDialog::options() const
{
    return {m_matchCase->isChecked(), m_wholeWords->isChecked()};
}

void FindDialog::tell(const QString &message)
{
    Notice::showAnew(m_message, message);
}
