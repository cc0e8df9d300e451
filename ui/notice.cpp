#include "notice.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {
constexpr char kAnnounced[] = "announced";

// Read by a screen reader as a notification whose name is the message, so
// that it is spoken as soon as it shows.
class NoticeAccessible : public QAccessibleWidget {
public:
    explicit NoticeAccessible(QWidget *notice)
        : QAccessibleWidget(notice, QAccessible::Notification)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// The notice, and any label marked with Notice::announce(); and the
// program's main window, as a frame named by its title.
QAccessibleInterface *noticeAccessible(const QString &key, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (key == QLatin1String("Notice") ||
        (key == QLatin1String("QLabel") && object->property(kAnnounced).toBool()))
        return new NoticeAccessible(widget);
    if (key == QLatin1String("Form1"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(noticeAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

constexpr int kMargin = 6;
} // namespace

void Notice::announce(QLabel *label)
{
    installFactory();
    label->setProperty(kAnnounced, true);
    // Hidden between two messages without the window changing its size.
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
}

void Notice::showAnew(QLabel *label, const QString &message)
{
    label->hide();
    label->setText(message);
    if (!message.isEmpty())
        label->show();
}

Notice::Notice(QWidget *area) : QLabel(area->parentWidget()), m_area(area)
{
    installFactory();
    setObjectName(QStringLiteral("Notice"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Clicks go to the text beneath it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setMargin(4);
    setFrameShape(QFrame::Box);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    hide();
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShownMs);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
    // Installed once, not at each showing: a filter installed while a key is
    // being filtered would have the program's other filters see that key again.
    qApp->installEventFilter(this);
}

Notice::~Notice()
{
    qApp->removeEventFilter(this);
}

void Notice::tell(const QString &message)
{
    // Hidden and shown again, so that a screen reader hears every message.
    hide();
    if (message.isEmpty())
        return;
    setText(message);
    const QRect area = m_area->geometry();
    int width = area.width() - 2 * kMargin;
    if (const auto *scrolled = qobject_cast<const QAbstractScrollArea *>(m_area))
        width -= scrolled->verticalScrollBar()->sizeHint().width();
    const int height = heightForWidth(width);
    QRect placed(area.left() + kMargin, area.bottom() - kMargin - height, width, height);
    // Never over what it reports: the caret's line or the selected match.
    if (placed.intersects(keptClear()))
        placed.moveTop(area.top() + kMargin);
    setGeometry(placed);
    raise();
    show();
    m_timer.start();
}

QRect Notice::keptClear() const
{
    const auto *text = qobject_cast<const QPlainTextEdit *>(m_area);
    if (!text)
        return {};
    const QTextCursor cursor = text->textCursor();
    QTextCursor start(cursor), end(cursor);
    start.setPosition(cursor.selectionStart());
    end.setPosition(cursor.selectionEnd());
    // The rows from the selection's start to its end, the whole width.
    const QRect rows = text->cursorRect(start).united(text->cursorRect(end));
    const QRect inArea(text->viewport()->mapTo(m_area, QPoint(0, rows.top())),
                       QSize(m_area->width(), rows.height()));
    return inArea.translated(m_area->pos());
}

bool Notice::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && isVisible()) {
        hide();
        m_timer.stop();
    }
    return QLabel::eventFilter(watched, event);
}
