#pragma once

#include "filedialog.h"

#include <QString>

class QWidget;

// The file dialog of the window, shown with Qt's QFileDialog.
class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget *parent) : m_parent(parent) {}

    bool ShowOpen() override;
    bool ShowSave() override;

private:
    bool show(bool save);

    QWidget *m_parent;
};

// "*.txt (Textfiles)|*.txt" -> {"*.txt (Textfiles) (*.txt)"}: description and
// pattern pairs, separated by "|", as Qt's name filters.
QStringList qtNameFilters(const QString &filter);
