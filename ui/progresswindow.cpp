#include "progresswindow.h"

#include "said.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressWindow::ProgressWindow(const QString &what, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowDoesNotAcceptFocus),
      m_what(new QLabel(what, this)), m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QCoreApplication::applicationName());
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    m_what->setTextFormat(Qt::PlainText);
    m_bar->setRange(0, 1000);
    m_bar->setAccessibleName(what);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_what);
    layout->addWidget(m_bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_bar->setMinimumWidth(300);
}

void ProgressWindow::setProgress(qint64 done, qint64 total)
{
    if (total < 0) {
        // A whole nobody knows yet: how much came so far, and a bar that
        // only says the work goes on.
        m_bar->setRange(0, 0);
        m_what->setText(
            said(Message::ReadSoFar, {m_bar->accessibleName(), QLocale().formattedDataSize(done)}));
    } else {
        if (m_bar->maximum() == 0) {
            m_bar->setRange(0, 1000);
            m_what->setText(m_bar->accessibleName());
        }
        m_bar->setValue(total > 0 ? int(done * 1000 / total) : 0);
    }
    // Paint and let the window system show it. User input is held back until
    // the work is done, and then goes, in order, where it was sent.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
