#include "form1.h"

#include "filedrops.h"
#include "filename.h"
#include "finddialog.h"
#include "findreplace.h"
#include "keycommands.h"
#include "keyrouter.h"
#include "layout.h"
#include "newstextedit.h"
#include "notice.h"
#include "picturebutton.h"
#include "said.h"
#include "shortcuts.h"
#include "windowfont.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

namespace {
template <typename W> W *place(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    const Layout::Pixels r = Layout::pixelRect(Layout::control(name));
    widget->setGeometry(r.left, r.top, r.width, r.height);
    return widget;
}

QString infoText()
{
    return said(Message::InfoText);
}

// Its lines, each without its line end.
QStringList infoLines()
{
    return infoText().split(QLatin1String("\r\n"), Qt::SkipEmptyParts);
}
} // namespace

Form1::Form1(const CodePage &codePage, QWidget *parent)
    : QWidget(parent), m_document(*this, codePage), m_services(this, [this] { endProgram(); })
{
    Q_INIT_RESOURCE(heraldpad);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(plainTitle());
    QIcon icon(QStringLiteral(":/icons/heraldpad.xpm"));
    for (int size : {16, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/heraldpad-%1.png").arg(size));
    setWindowIcon(icon);
    resize(Layout::clientSize().width, Layout::clientSize().height);
    buildControls();
    new KeyRouter(
        {this, m_find->dialog()}, [this](KeyCommand command) { return runKeyCommand(command); },
        this);
    new FileDrops(
        this,
        [this](const QString &path) {
            if (!m_input.reading())
                m_commands.LoadDropped(qtstd::path(path));
        },
        this);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &Form1::commitData);
}

Form1::~Form1() = default;

void Form1::useWindowFont()
{
    // The info box's width, less the margins its text keeps on either side.
    const int infoWidth = Layout::pixelRect(Layout::control("Text1")).width - 10;
    QApplication::setFont(WindowFont::choose(QApplication::font(), infoLines(), infoWidth));
}

QString Form1::plainTitle()
{
    return said(Message::WindowTitle);
}

void Form1::buildControls()
{
    cmd_Open = place(new QPushButton(said(Message::LoadButton), this), "cmd_Open");
    cmd_Open->setToolTip(said(Message::LoadTip));

    Image1 =
        place(new PictureButton(QPixmap(QStringLiteral(":/pictures/open.xpm")), this), "Image1");
    Image1->setAccessibleName(said(Message::QuickloadName));
    Image2 =
        place(new PictureButton(QPixmap(QStringLiteral(":/pictures/save.xpm")), this), "Image2");
    Image2->setAccessibleName(said(Message::QuicksaveName));

    cmd_Save = place(new QPushButton(said(Message::SaveAsButton), this), "cmd_Save");
    cmd_Save->setToolTip(said(Message::SaveTip));

    Text = place(new NewsTextEdit(this), "Text");
    Text->setAccessibleName(said(Message::NewsTextName));

    Frame2 = place(new QGroupBox(said(Message::InfoFrame), this), "Frame2");
    Frame2->setToolTip(said(Message::InfoCredit));
    Text1 = place(new QPlainTextEdit(Frame2), "Text1");
    Text1->setPlainText(infoText());
    Text1->setAccessibleName(said(Message::InfoName));
    Text1->setTabChangesFocus(true);
    // What is typed here would be thrown away unasked: it takes no typing,
    // and a screen reader reads it as text that is not edited.
    Text1->setReadOnly(true);
    Text1->setFrameShape(QFrame::NoFrame); // the one setting it has of its own: no border
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // A file dropped anywhere on the window is opened (FileDrops).
    setAcceptDrops(true);

    cmd_Exit = place(new QPushButton(said(Message::ExitButton), this), "cmd_Exit");
    cmd_Exit->setToolTip(said(Message::ExitTip));

    for (QPushButton *button : {cmd_Open, cmd_Save, cmd_Exit})
        button->setAutoDefault(false);

    setTabOrder(Text, cmd_Open);
    setTabOrder(cmd_Open, cmd_Save);
    setTabOrder(cmd_Save, Text1);
    setTabOrder(Text1, cmd_Exit);
    Text->setFocus();

    connect(cmd_Open, &QPushButton::clicked, this,
            [this] { fromControl([this] { m_commands.Load(); }); });
    connect(cmd_Save, &QPushButton::clicked, this,
            [this] { fromControl([this] { m_commands.SaveAs(); }); });
    connect(cmd_Exit, &QPushButton::clicked, this, [this] {
        if (!endWhileReading())
            fromControl([this] { m_commands.Exit(); });
    });
    connect(Image1, &PictureButton::clicked, this,
            [this] { fromControl([this] { m_commands.Quickload(); }); });
    connect(Image2, &PictureButton::clicked, this,
            [this] { fromControl([this] { m_commands.Quicksave(); }); });
    m_services.holdWhileWorking(Text);
    m_notice = new Notice(Text);
    // Heard by a screen reader, out of sight.
    m_markSpoken = new QLabel(this);
    m_markSpoken->setObjectName(QStringLiteral("MarkSpoken"));
    m_markSpoken->setGeometry(-100, -100, 1, 1);
    Notice::announce(m_markSpoken);
    m_markSpoken->hide();
    m_services.tellThrough([this](const QString &notice) { m_notice->tell(notice); });
    m_find = new FindReplace(Text, m_notice);
    connect(Text, &QPlainTextEdit::textChanged, this, [this] { m_document.TextChanged(); });
    // Back from the Find window: without a window manager the main window
    // is not activated again, yet the writer is back at its text.
    connect(m_find->dialog(), &QDialog::finished, this, &Form1::lookAtTheFileSoon);
}

void Form1::fromControl(const std::function<void()> &command)
{
    command();
    // Once its dialogs are closed, the keys go to the text again, not to the
    // button, where a space would run the command once more.
    if (!m_ending)
        Text->setFocus(Qt::OtherFocusReason);
}

void Form1::Form_Load()
{
    m_placement.start();
    m_document.Reset();
}

void Form1::openFile(const QString &path)
{
    m_commands.OpenFile(qtstd::path(path));
}

void Form1::openUnnamable(const QByteArray &name)
{
    const std::filesystem::path named(name.toStdString());
    std::fprintf(stderr, "heraldpad: %s not opened: its name is not valid in the locale\n",
                 qPrintable(qtstd::string(shownName(named))));
    m_commands.OpenUnnamable(named);
}

void Form1::readStandardInput(bool closed)
{
    setReading(true);
    m_inputWatch.watch(closed ? -1 : STDIN_FILENO, [this] {
        setReading(false);
        if (!m_input.problem().empty())
            std::fprintf(stderr, "heraldpad: standard input: %s\n",
                         qPrintable(qtstd::string(m_input.problem())));
    });
}

void Form1::setReading(bool reading)
{
    Text->setReadOnly(reading);
    for (QWidget *command : std::initializer_list<QWidget *>{cmd_Open, cmd_Save, Image1, Image2})
        command->setEnabled(!reading);
}

bool Form1::endWhileReading()
{
    if (!m_input.reading())
        return false;
    m_inputWatch.stop();
    endProgram();
    return true;
}

bool Form1::event(QEvent *event)
{
    // Back to the window: another program may have changed the file. Asked
    // once the activation is over, never while a command runs.
    if (event->type() == QEvent::WindowActivate)
        lookAtTheFileSoon();
    return QWidget::event(event);
}

void Form1::lookAtTheFileSoon()
{
    if (!m_commands.busy())
        QTimer::singleShot(0, this, [this] { m_commands.checkFileOnDisk(); });
}

QString Form1::noDictionaryText(const LocaleName &locale)
{
    const QString language =
        locale.language.empty() ? QStringLiteral("en") : QString::fromStdString(locale.language);
    return tr("No spelling: no Hunspell dictionary for \"%1\" is installed").arg(language);
}

void Form1::useSpelling(SpellChecker *checker, const QString &missing)
{
    Text->setSpellChecker(checker, missing);
}

void Form1::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    m_placement.moved();
}

namespace {
// The text area's text, held as Qt built it.
HeldText held(QString text)
{
    auto holder = std::make_shared<const QString>(std::move(text));
    const std::u16string_view view = qtstd::view(*holder);
    return {view, std::move(holder)};
}
} // namespace

QString Form1::newsText() const
{
    return Text->newsText();
}

void Form1::setNewsText(const QString &text)
{
    Text->setNewsText(text);
}

HeldText Form1::text() const
{
    return held(Text->newsText());
}

HeldText Form1::textForSave(const ProgressSink &progress) const
{
    return held(Text->newsText(progress));
}

void Form1::setText(std::u16string_view text)
{
    Text->setNewsText(qtstd::string(text));
}

void Form1::appendText(std::u16string_view more)
{
    Text->appendNewsText(qtstd::string(more));
}

void Form1::replaceParts(const std::vector<CodePage::Composed> &parts)
{
    // Indexes of the text with CR LF line ends; the text area counts each
    // line end as one position.
    const QString text = Text->newsText();
    Text->editAsOneStep([&](QTextCursor &cursor) {
        qsizetype lineEnds = 0, counted = 0, shift = 0;
        for (const CodePage::Composed &part : parts) {
            lineEnds += QStringView(text).sliced(counted, part.start - counted).count(u'\n');
            counted = part.start;
            const qsizetype at = part.start - lineEnds + shift;
            cursor.setPosition(int(at));
            cursor.setPosition(int(at + part.length), QTextCursor::KeepAnchor);
            cursor.insertText(qtstd::string(part.with));
            shift += qsizetype(part.with.size()) - part.length;
        }
    });
}

std::ptrdiff_t Form1::textLength() const
{
    return Text->newsTextLength();
}

std::u16string Form1::title() const
{
    return qtstd::u16(windowTitle());
}

void Form1::setTitle(std::u16string_view shown)
{
    const QString title = qtstd::string(shown);
    const bool marked = windowTitle().endsWith(u'*');
    setWindowTitle(title);
    // The mark coming or going is heard, not only seen in the title.
    if (title.endsWith(u'*') != marked)
        Notice::showAnew(m_markSpoken,
                         marked ? said(Message::AllChangesSaved) : said(Message::UnsavedChanges));
}

DocumentHost::Place Form1::writerPlace() const
{
    const QTextCursor caret = Text->textCursor();
    return {caret.blockNumber(), caret.positionInBlock(), Text->firstLineInView(),
            Text->rowsOutOfView()};
}

// Indexes of the text with CR LF line ends: each line before a position
// adds one character to it.
DocumentHost::Span Form1::selectedSpan() const
{
    const QTextCursor caret = Text->textCursor();
    if (!caret.hasSelection())
        return {};
    QTextCursor start(caret);
    start.setPosition(caret.selectionStart());
    const qsizetype from = start.position() + start.blockNumber();
    return {from, caret.selectionEnd() - caret.selectionStart()};
}

void Form1::selectSpan(const Span &span)
{
    const QString text = Text->newsText();
    const qsizetype position = span.start - QStringView(text).first(span.start).count(u'\n');
    QTextCursor selected(Text->document());
    selected.setPosition(int(position));
    selected.setPosition(int(position + span.length), QTextCursor::KeepAnchor);
    Text->setTextCursor(selected);
    Text->ensureCursorVisible();
}

void Form1::setWriterPlace(const Place &place)
{
    Text->placeCaret(place.line, place.column);
    Text->showFromLine(place.firstVisibleLine, place.rowsOutOfView);
}

bool Form1::runKeyCommand(KeyCommand command)
{
    // While standard input is read, only Exit works.
    if (m_input.reading() && command != KeyCommand::None) {
        if (command == KeyCommand::Exit)
            endWhileReading();
        return true;
    }
    return runShortcut(command, m_commands,
                       {[this](bool replacing) { m_find->open(replacing); },
                        [this](bool backward) { m_find->repeat(backward); },
                        [this] {
                            // Elsewhere (the Find window's fields) the control's own keys hold.
                            if (QApplication::focusWidget() != Text)
                                return false;
                            Text->redo();
                            return true;
                        }});
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_placement.resized();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_placement.stateChanged();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing by the frame asks like Exit, so unsaved news is not lost.
    if (m_input.reading()) {
        m_inputWatch.stop();
        m_ending = true;
    }
    if (m_ending || m_commands.mayClose()) {
        m_ending = true;
        event->accept();
    } else {
        event->ignore();
    }
}

void Form1::commitData(QSessionManager &manager)
{
    if (m_ending || !m_commands.textAtRisk())
        return;
    if (!manager.allowsInteraction()) {
        manager.cancel();
        return;
    }
    const bool mayEnd = m_commands.mayClose();
    manager.release();
    if (mayEnd)
        m_ending = true;
    else
        manager.cancel();
}

void Form1::endProgram()
{
    m_ending = true;
    close();
    emit programEnded();
}
