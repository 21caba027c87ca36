#include "runner/UserInputBlock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

// The event loop's own flag for this (ExcludeUserInputEvents) also holds back
// the window system's close request, so the filter drops the input instead.
UserInputBlock::UserInputBlock()
    : m_blockedLevel(QThread::currentThread()->loopLevel() + 1)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

UserInputBlock::~UserInputBlock()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool UserInputBlock::eventFilter(QObject *watched, QEvent *event)
{
    if (isUserInput(event->type()) && QThread::currentThread()->loopLevel() == m_blockedLevel)
        return true;
    return QObject::eventFilter(watched, event);
}
