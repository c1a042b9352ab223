// Files dropped on the main window: a character file, a sheet script or
// one of each, opened as the command line opens them.
#include "shell/form_main.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace quillet {

std::optional<HandedFiles> FormMain::acceptableDrop(const QDropEvent& event) const
{
    const QMimeData* data = event.mimeData();
    // Taken as a copy only: a source offering nothing but a move would
    // delete its file once the drop was taken.
    if (!data || !data->hasUrls() || !(event.possibleActions() & Qt::CopyAction))
        return std::nullopt;
    std::vector<Text> paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile())
            return std::nullopt;
        paths.push_back(url.toLocalFile().toStdU16String());
    }
    std::optional<HandedFiles> files = sortHandedFiles(paths);
    if (!files || files->empty())
        return std::nullopt;
    // Load Character waits while Busy; Browse does not.
    if (!files->character.empty() && busy())
        return std::nullopt;
    return files;
}

void FormMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptableDrop(*event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FormMain::dropEvent(QDropEvent* event)
{
    std::optional<HandedFiles> files = acceptableDrop(*event);
    if (!files) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Opened once the drop is over: a message box about the file must not
    // keep the program the file came from waiting for the drop to end.
    QMetaObject::invokeMethod(this, [this, files = std::move(*files)] { openHandedFiles(files); },
                              Qt::QueuedConnection);
}

} // namespace quillet
