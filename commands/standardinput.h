#pragma once

#include <QCoreApplication>
#include <QString>

class NewsDocument;
class QIODevice;
class RuntimeServices;

// The news read from standard input (heraldpad -).
class StandardInput {
    Q_DECLARE_TR_FUNCTIONS(StandardInput)

public:
    // Reads in to its end into the document's empty text, as a load reads a
    // file, in the code page, with its progress and memory check; but there
    // is no file: the text is unsaved unless it is empty, and Ctrl+S asks for
    // a name. When it cannot be read, the text says so, as after a failed
    // load, and reason receives why.
    static bool read(QIODevice &in, NewsDocument &document, RuntimeServices &services,
                     QString *reason, qint64 availableBytes);
};
