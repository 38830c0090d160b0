#pragma once

#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace vartemo {

// Opens the operator's help, the HTML pages that come with the program, in
// the desktop's browser (btnHelp and F1).
class HelpCommand {
public:
    using UrlOpener = std::function<bool(const QUrl&)>;
    using MessageBox = std::function<void(const QString& text)>;

    // helpFolders: where the pages may lie, searched in order.
    HelpCommand(QStringList helpFolders, UrlOpener open, MessageBox showMessage);

    // $VARTEMO_HELP_DIR when set, then the folders of a build and of an
    // installed program, beside the executable.
    static QStringList defaultFolders();
    // The contents page, or an empty URL when no folder holds it.
    QUrl contentsPage() const;
    // Opens the contents page; when there is none or no browser takes it,
    // the operator is told.
    void open() const;

    // F1 anywhere in the window opens the help.
    void attachShortcut(QWidget& window) const;

private:
    QStringList folders_;
    UrlOpener open_;
    MessageBox showMessage_;
};

} // namespace vartemo
