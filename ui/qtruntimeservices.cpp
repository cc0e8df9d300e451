#include "qtruntimeservices.h"

#include "progresswindow.h"
#include "questions.h"
#include "said.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <utility>

namespace {
// A Yes/No box that Escape and the frame's close button dismiss without an
// answer. (QMessageBox would take either of them as No.)
class QuestionBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Cancel)) {
            reject();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        reject();
        event->accept();
    }
};
} // namespace

RuntimeServices::Answer QtRuntimeServices::askYesNo(std::u16string_view prompt,
                                                    std::u16string_view title)
{
    QuestionBox box(QMessageBox::NoIcon, qtstd::string(title), qtstd::string(prompt),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setObjectName(QStringLiteral("SecureSave"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

std::filesystem::path QtRuntimeServices::currentDir() const
{
    return qtstd::path(QDir::currentPath());
}

void QtRuntimeServices::showSaveFailure(std::u16string_view file, std::u16string_view reason)
{
    QMessageBox box(QMessageBox::Warning, said(Message::SaveFailedTitle),
                    qtstd::string(say(Message::SaveFailedText, {file, reason})), QMessageBox::Ok,
                    m_parent);
    box.setObjectName(QStringLiteral("SaveFailure"));
    box.exec();
}

RuntimeServices::Answer QtRuntimeServices::askToAct(const QString &name, const Question &question)
{
    QuestionBox box(QMessageBox::Warning, qtstd::string(question.title),
                    qtstd::string(question.text), QMessageBox::NoButton, m_parent);
    box.setObjectName(name);
    QPushButton *acts = box.addButton(qtstd::string(question.act), QMessageBox::AcceptRole);
    QPushButton *keeps = box.addButton(qtstd::string(question.keep), QMessageBox::RejectRole);
    box.setDefaultButton(keeps);
    box.setEscapeButton(keeps);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == acts ? Answer::Yes : Answer::Cancel;
}

RuntimeServices::Answer QtRuntimeServices::askSaveOver(std::u16string_view file, DiskNews why,
                                                       std::u16string_view detail)
{
    return askToAct(QStringLiteral("SaveOver"), saveOverQuestion(file, why, detail));
}

RuntimeServices::Answer QtRuntimeServices::askReload(std::u16string_view file)
{
    return askToAct(QStringLiteral("Reload"), reloadQuestion(file));
}

RuntimeServices::Answer QtRuntimeServices::askReloadFromLink(std::u16string_view file,
                                                             std::u16string_view linkTarget,
                                                             bool unsaved)
{
    return askToAct(QStringLiteral("ReloadFromLink"),
                    reloadFromLinkQuestion(file, linkTarget, unsaved));
}

void QtRuntimeServices::showLoadFailure(std::u16string_view source, std::u16string_view reason)
{
    QMessageBox box(QMessageBox::Warning, said(Message::NotOpenedTitle),
                    qtstd::string(say(Message::NotOpenedText, {source, reason})), QMessageBox::Ok,
                    m_parent);
    box.setObjectName(QStringLiteral("LoadFailure"));
    box.exec();
}

void QtRuntimeServices::tellDeleted(std::u16string_view file)
{
    QMessageBox box(QMessageBox::Information, said(Message::DeletedTitle),
                    qtstd::string(say(Message::DeletedText, {file})), QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("Deleted"));
    box.exec();
}

void QtRuntimeServices::tellNotReloaded(std::u16string_view what)
{
    QMessageBox box(QMessageBox::Warning, said(Message::NotReloadedTitle),
                    qtstd::string(say(Message::NotReloadedText, {what})), QMessageBox::Ok,
                    m_parent);
    box.setObjectName(QStringLiteral("NotReloaded"));
    box.exec();
}

QtRuntimeServices::QtRuntimeServices(QWidget *parent, std::function<void()> endProgram)
    : m_parent(parent), m_endProgram(std::move(endProgram))
{
    m_showProgress.setSingleShot(true);
    m_showProgress.setInterval(kProgressAfterMs);
    m_showProgress.callOnTimeout([this] {
        if (m_progress || !m_workTime.isValid())
            return;
        m_progress = std::make_unique<ProgressWindow>(m_work, m_parent);
        m_progress->show();
        m_progress->setProgress(m_waited, -1);
    });
}

QtRuntimeServices::~QtRuntimeServices() = default;

void QtRuntimeServices::beginWaiting(std::u16string_view what)
{
    m_work = qtstd::string(what);
    m_workTime.start();
    m_waiting = true;
    m_waited = 0;
    m_showProgress.start();
}

void QtRuntimeServices::beginWork(std::u16string_view what)
{
    m_work = qtstd::string(what);
    m_workTime.start();
    m_waiting = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The text area is painted again once the work is done, not while its
    // text is half there: laying out a very long line for that costs seconds.
    // Only the text area: a window whose painting is held while another
    // window of the program is active may not be painted again at all.
    if (m_heldWhileWorking)
        m_heldWhileWorking->setUpdatesEnabled(false);
}

void QtRuntimeServices::workProgress(std::int64_t done, std::int64_t total)
{
    if (total < 0)
        m_waited = done;
    if (!m_progress) {
        if (!m_workTime.isValid() || m_workTime.elapsed() < kProgressAfterMs)
            return;
        m_progress = std::make_unique<ProgressWindow>(m_work, m_parent);
        m_progress->show();
    }
    m_progress->setProgress(done, total);
}

void QtRuntimeServices::endWork()
{
    m_workTime.invalidate();
    m_showProgress.stop();
    m_progress.reset();
    if (std::exchange(m_waiting, false))
        return;
    QApplication::restoreOverrideCursor();
    if (m_heldWhileWorking)
        m_heldWhileWorking->setUpdatesEnabled(true);
}
