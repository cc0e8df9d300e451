#pragma once

#include "documenthost.h"
#include "filecommands.h"
#include "inputwatch.h"
#include "keycommands.h"
#include "layout.h"
#include "localename.h"
#include "memorycheck.h"
#include "newsdocument.h"
#include "qtfiledialog.h"
#include "qtruntimeservices.h"
#include "standardinput.h"
#include "systemmemory.h"
#include "windowplacement.h"

#include <QWidget>

#include <functional>

class FindReplace;
class NewsTextEdit;
class Notice;
class PictureButton;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class SpellChecker;
class QPushButton;
class QSessionManager;

// The editor's one window: the news text area, the file buttons, the two
// picture buttons and the info panel. It holds the document's text and title
// and routes clicks and shortcuts to the file commands.
class Form1 : public QWidget, public DocumentHost {
    Q_OBJECT

public:
    // News files are read and written in the given code page (the one of
    // the writer's locale, which main() reads).
    explicit Form1(const CodePage &codePage = CodePage::get(1252), QWidget *parent = nullptr);
    ~Form1() override;

    static QString plainTitle();
    // What the text's menu says when the locale's language has no dictionary.
    static QString noDictionaryText(const LocaleName &locale);
    // Marks the words checker does not know; null: none, and the text's menu
    // says missing.
    void useSpelling(SpellChecker *checker, const QString &missing);
    // Makes the program's default font the one the window's layout was drawn
    // for; before the window is built.
    static void useWindowFont();

    // Before the window is first shown: centre it, reset the document.
    void Form_Load();
    // Opens a file named on the command line, once the window shows.
    void openFile(const QString &path);
    // A file named on the command line whose name the character set cannot read.
    void openUnnamable(const QByteArray &name);
    // Reads the news from standard input (heraldpad -) as an unsaved text
    // without a file, while the window shows; meanwhile the text area takes
    // no keys and only Exit works, ending the program without a question.
    // closed: the program was started with standard input closed.
    void readStandardInput(bool closed = false);

    // The news text with CR LF line ends, as Qt holds it.
    QString newsText() const;
    void setNewsText(const QString &text);

    // DocumentHost
    HeldText text() const override;
    HeldText textForSave(const ProgressSink &progress) const override;
    void setText(std::u16string_view text) override;
    void appendText(std::u16string_view more) override;
    std::ptrdiff_t textLength() const override;
    void replaceParts(const std::vector<CodePage::Composed> &parts) override;
    std::u16string title() const override;
    void setTitle(std::u16string_view title) override;
    Place writerPlace() const override;
    void setWriterPlace(const Place &place) override;
    Span selectedSpan() const override;
    void selectSpan(const Span &span) override;

    NewsDocument &document() { return m_document; }
    FileDialog &dialog() { return Dialog1; }

signals:
    // Exit has ended the program: the window is closed, the application quits.
    void programEnded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildControls();
    // Runs a command that a button or picture started.
    void fromControl(const std::function<void()> &command);
    // A shortcut the KeyRouter saw; true when it was one of the window's.
    bool runKeyCommand(KeyCommand command);
    void endProgram();
    void commitData(QSessionManager &manager);
    // Once the event at hand is handled, tells of another program's change.
    void lookAtTheFileSoon();

    QPushButton *cmd_Open = nullptr;
    PictureButton *Image1 = nullptr;
    PictureButton *Image2 = nullptr;
    QPushButton *cmd_Save = nullptr;
    NewsTextEdit *Text = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QPushButton *cmd_Exit = nullptr;
    FindReplace *m_find = nullptr;
    Notice *m_notice = nullptr;
    QLabel *m_markSpoken = nullptr; // says that the title's mark came or went

    NewsDocument m_document;
    QtFileDialog Dialog1{this};
    QtRuntimeServices m_services;
    FileCommands m_commands{m_document, Dialog1, m_services};

    StandardInput m_input{m_document, m_services, availableMemory()};
    InputWatch m_inputWatch{m_input};
    void setReading(bool reading);
    // While standard input is read: Exit stops it and ends the program.
    bool endWhileReading();

    bool m_ending = false; // Exit has asked already; close without asking
    WindowPlacement m_placement{this, {Layout::clientSize().width, Layout::clientSize().height}};
};
